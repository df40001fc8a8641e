// The chart editor on its real window: undo and redo of every kind of
// change, files and the question over unsaved changes, the chart's keys,
// the box panel, computing and export.

#include "tests/tools/EditorFixture.h"

#include "platform/gui/Button.h"
#include "platform/gui/Label.h"
#include "tools/charteditor/BoxEdits.h"

#include <QAction>
#include <QComboBox>

namespace editortest {
namespace {

using charteditor::TKeyPanel;
using quorgrafica::clsBoxGroup;

bool Links(const clsBox* from, const clsBox* to) {
    for (int i = 0; i < from->LinksOut.GetCount(); ++i)
        if (from->LinksOut.GetValue(i) == to) return true;
    return false;
}

bool LinkedFrom(const clsBox* to, const clsBox* from) {
    for (int i = 0; i < to->LinksIn.GetCount(); ++i)
        if (to->LinksIn.GetValue(i) == from) return true;
    return false;
}

TEST_F(Editor, UndoBackToTheStartGivesTheOpenedFile) {
    const std::string file = OpenExample();
    const std::string opened = FileText(file);
    // The chart writes what it read, the graphs' names and titles included.
    ASSERT_EQ(Lines(Snapshot()), Lines(opened));
    EXPECT_EQ(form->Caption(), "conti.chart - Editor di diagrammi");
    EXPECT_FALSE(editor().CanUndo());

    // A box drawn on empty space is named, selected and shown in the panel.
    Drag(300, 480, 420, 540);
    clsBox* made = shown().BoxAt(shown().GetCount() - 1);
    ASSERT_EQ(made, chart().SelectedBox());
    EXPECT_EQ(Str(made->Name), "Box1");
    EXPECT_EQ(form->BoxPanel->edName->Text(), "Box1");
    EXPECT_EQ(editor().UndoSteps(), 1);
    EXPECT_EQ(form->Caption(), "*conti.chart - Editor di diagrammi");

    // Its name typed into the panel: one step for the whole word.
    QTest::keyClick(form->BoxPanel->edName->Widget(), Qt::Key_A, Qt::ControlModifier);
    Type(form->BoxPanel->edName, QString::fromUtf8("Caffè"));
    EXPECT_EQ(Str(made->Name), "Caff\xE8");
    EXPECT_EQ(shown().GetBox("caff\xE8"), made);
    EXPECT_EQ(editor().UndoSteps(), 2);

    // Moved one grid step with the keyboard, resized with the mouse.
    const TRect drawn = made->Frame;
    Key(Qt::Key_Right);
    EXPECT_GT(made->Frame.Left, drawn.Left);
    EXPECT_EQ(made->Frame.Right - made->Frame.Left, drawn.Right - drawn.Left);
    Drag(made->Frame.Right - 2, made->Frame.Bottom - 2, made->Frame.Right + 40,
         made->Frame.Bottom + 20);
    EXPECT_GT(made->Frame.Right - made->Frame.Left, drawn.Right - drawn.Left + 30);
    EXPECT_EQ(editor().UndoSteps(), 4);

    // Linked to Inizio with a right drag in connect mode.
    form->actConnect->trigger();
    ASSERT_TRUE(chart().ConnectBoxes());
    const QPoint from = Middle(made), to = Middle(Box("Inizio"));
    Drag(from.x(), from.y(), to.x(), to.y(), Qt::RightButton);
    EXPECT_TRUE(Links(made, Box("Inizio")));
    EXPECT_EQ(editor().UndoSteps(), 5);

    // A colour and a script line from the panel.
    EXPECT_TRUE(editor().SetFillColor(0x40C0FF));
    Type(form->BoxPanel->memScript, "Leggi il saldo");
    EXPECT_EQ(made->Script.GetCount(), 1);
    EXPECT_EQ(editor().UndoSteps(), 7);

    // Saldo removed after the question.
    Click(Middle(Box("Saldo")).x(), Middle(Box("Saldo")).y());
    dialogs->AnswerButton(IDYES);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Box("Saldo"), nullptr);
    EXPECT_EQ(editor().UndoSteps(), 8);

    // A box moved inside the group Verifiche.
    Click(Middle(Box("Verifiche")).x(), Middle(Box("Verifiche")).y());
    Key(Qt::Key_Return);
    ASSERT_NE(shown().Owner, nullptr);
    Click(Middle(Box("Date")).x(), Middle(Box("Date")).y());
    Key(Qt::Key_Down);
    EXPECT_EQ(editor().UndoSteps(), 9);
    const std::string edited = Snapshot();

    int undone = 0;
    while (form->actUndo->isEnabled()) {
        form->actUndo->trigger();
        ++undone;
    }
    EXPECT_EQ(undone, 9);
    EXPECT_FALSE(editor().Undo());
    EXPECT_EQ(Lines(Snapshot()), Lines(opened));
    EXPECT_FALSE(editor().Modified());
    EXPECT_EQ(form->Caption(), "conti.chart - Editor di diagrammi");

    while (editor().Redo()) {
    }
    EXPECT_EQ(Snapshot(), edited);
    EXPECT_TRUE(editor().Modified());
}

TEST_F(Editor, UndoShowsTheGraphAndTheBoxOfTheChange) {
    OpenExample();
    Click(Middle(Box("Verifiche")).x(), Middle(Box("Verifiche")).y());
    Key(Qt::Key_Return);
    clsBox* date = Box("Date");
    Click(Middle(date).x(), Middle(date).y());
    const TRect before = date->Frame;
    Key(Qt::Key_Down);
    const TRect after = date->Frame;

    // Undone where it was made: the graph nested in Verifiche, read anew.
    EXPECT_TRUE(editor().Undo());
    ASSERT_NE(shown().Owner, nullptr);
    EXPECT_EQ(Str(shown().Owner->Name), "Verifiche");
    ASSERT_NE(chart().SelectedBox(), nullptr);
    EXPECT_EQ(Str(chart().SelectedBox()->Name), "Date");
    EXPECT_EQ(chart().SelectedBox()->Frame, before);
    EXPECT_EQ(form->PathLabel->Caption(), "Main : Verifiche : ");
    EXPECT_EQ(form->BoxPanel->edName->Text(), "Date");

    // From the root too: redo goes back into the group.
    Key(Qt::Key_Backspace);
    ASSERT_EQ(&shown(), &root());
    EXPECT_EQ(chart().SelectedBox(), Box("Verifiche"));
    EXPECT_TRUE(editor().Redo());
    ASSERT_NE(shown().Owner, nullptr);
    EXPECT_EQ(Str(shown().Owner->Name), "Verifiche");
    EXPECT_EQ(Box("Date")->Frame, after);
    EXPECT_EQ(chart().SelectedBox(), Box("Date"));

    // The box a change removed comes back selected; a new change drops the redo.
    dialogs->AnswerButton(IDYES);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Box("Date"), nullptr);
    EXPECT_EQ(chart().SelectedBox(), nullptr);
    EXPECT_TRUE(editor().Undo());
    EXPECT_EQ(chart().SelectedBox(), Box("Date"));
    Key(Qt::Key_Up);
    EXPECT_FALSE(editor().CanRedo());
}

TEST_F(Editor, SaveAndReopenGiveTheSameLines) {
    OpenExample();
    Drag(300, 480, 420, 540);
    EXPECT_TRUE(editor().SetBoxName("Caff\xE8"));
    EXPECT_TRUE(editor().SetBoxText("Prima riga\r\nSeconda riga"));
    EXPECT_TRUE(editor().SetScript("Leggi\r\nScrivi\tsubito\r\n\r\n"));
    EXPECT_TRUE(editor().SetVariables("Anno=2026\r\n\r\nSoglia\r\nNota=a=b"));
    EXPECT_TRUE(editor().SetBoxFont("DejaVu Serif", 12));
    const std::string edited = Snapshot();

    saveNames = {dir / "copia"};
    form->actSaveAs->trigger();
    const std::string copy = dir / "copia.chart";
    ASSERT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(editor().FileName(), AnsiString(copy));
    EXPECT_FALSE(editor().Modified());
    EXPECT_EQ(form->Caption(), "copia.chart - Editor di diagrammi");
    EXPECT_EQ(FileText(copy), edited);
    EXPECT_NE(FileText(copy).find("Name=Caff\xC3\xA8"), std::string::npos);

    ASSERT_TRUE(editor().OpenFile(AnsiString(copy)));
    EXPECT_EQ(Lines(Snapshot()), Lines(edited));
    clsBox* box = Box("Caff\xE8");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Str(box->Text), "Prima riga\nSeconda riga");
    EXPECT_EQ(charteditor::ScriptLines(*box), (std::vector<AnsiString>{"Leggi", "Scrivi subito"}));
    EXPECT_EQ(charteditor::VariableLines(*box),
              (std::vector<AnsiString>{"Anno=2026", "Soglia=", "Nota=a=b"}));
    EXPECT_EQ(Str(box->FontName), "DejaVu Serif");
    EXPECT_EQ(box->FontSize, 12);

    // Save goes to the same file without asking; a file that cannot be
    // written says so and keeps the chart's name and its changes.
    Click(Middle(box).x(), Middle(box).y());
    Key(Qt::Key_Right);
    form->actSave->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(FileText(copy), Snapshot());
    Key(Qt::Key_Right);
    saveNames = {dir / "manca/x.chart"};
    EXPECT_FALSE(editor().SaveAs());
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].text,
              "Impossibile scrivere il file \"" + AnsiString(dir / "manca/x.chart") + "\".");
    EXPECT_EQ(editor().FileName(), AnsiString(copy));
    EXPECT_TRUE(editor().Modified());

    // A file that holds no chart leaves the chart as it is.
    std::ofstream(dir / "lettera.chart") << "Gentile amministratore,\n";
    const std::string before = Snapshot();
    openNames = {dir / "lettera.chart"};
    dialogs->AnswerButton(IDNO);
    EXPECT_FALSE(editor().Open());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(editor().FileName(), AnsiString(copy));
    EXPECT_NE(dialogs->Questions().back().text.Pos("non contiene un diagramma valido"), 0);
}

TEST_F(Editor, UnsavedChangesAreSavedDroppedOrKept) {
    const std::string file = OpenExample();
    const std::string other = dir / "altro.chart";
    std::filesystem::copy_file(file, other);
    Click(Middle(Box("Inizio")).x(), Middle(Box("Inizio")).y());
    Key(Qt::Key_Right);
    const std::string changed = Snapshot();

    // Cancel: nothing happens.
    dialogs->AnswerButton(IDCANCEL);
    EXPECT_FALSE(editor().NewChart());
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].text,
              "Il diagramma \"conti.chart\" \xE8 stato modificato.\nSalvare le modifiche?");
    EXPECT_EQ(dialogs->Questions()[0].flags & MB_TYPEMASK, MB_YESNOCANCEL);
    EXPECT_EQ(Snapshot(), changed);
    EXPECT_TRUE(editor().Modified());
    EXPECT_EQ(asked, 0);

    // No: the changes go, the file stays as it was.
    dialogs->AnswerButton(IDNO);
    openNames = {other};
    form->actOpen->trigger();
    EXPECT_EQ(editor().FileName(), AnsiString(other));
    EXPECT_EQ(FileText(file), FileText(ExampleChart()));
    EXPECT_FALSE(editor().Modified());

    // Yes: saved before the window closes.
    Click(Middle(Box("Inizio")).x(), Middle(Box("Inizio")).y());
    Key(Qt::Key_Down);
    dialogs->AnswerButton(IDYES);
    form->Widget()->close();
    EXPECT_FALSE(form->Showing());
    EXPECT_EQ(FileText(other), Snapshot());

    // A chart never saved asks for a name; cancelling that keeps it open.
    form->Show();
    EXPECT_TRUE(editor().NewChart());
    EXPECT_EQ(shown().GetCount(), 0);
    EXPECT_EQ(form->Caption(), "Senza nome - Editor di diagrammi");
    Drag(100, 100, 200, 160);
    dialogs->AnswerButton(IDYES);
    form->actQuit->trigger();
    EXPECT_TRUE(form->Showing());
    EXPECT_EQ(asked, 2);
    EXPECT_NE(dialogs->Questions().back().text.Pos("\"Senza nome\""), 0);
    saveNames = {dir / "nuovo.chart"};
    dialogs->AnswerButton(IDYES);
    form->Close();
    EXPECT_FALSE(form->Showing());
    EXPECT_EQ(FileText(dir / "nuovo.chart"), Snapshot());
    EXPECT_EQ(dialogs->PendingAnswers(), 0);
}

TEST_F(Editor, KeysMoveRemoveAndNavigate) {
    OpenExample();
    clsBox* inizio = Box("Inizio");
    Click(Middle(inizio).x(), Middle(inizio).y());
    const TRect start = inizio->Frame;
    const int column = shown().PageWidth / shown().Columns;
    const int row = shown().PageHeight / shown().Rows;
    Key(Qt::Key_Right);
    EXPECT_EQ(inizio->Frame,
              TRect(start.Left + column, start.Top, start.Right + column, start.Bottom));
    Key(Qt::Key_Down);
    Key(Qt::Key_Left);
    EXPECT_EQ(inizio->Frame, TRect(start.Left, start.Top + row, start.Right, start.Bottom + row));
    Key(Qt::Key_Up);
    EXPECT_EQ(inizio->Frame, start);

    // Off the grid's lines, a step reaches the next line; without
    // alignment, it is a column's width.
    chart().SetGridHorizontalChars(chart().Width() / 20);
    chart().PaintToImage();
    inizio->SetFrame(45, 21, 0, 0);
    Key(Qt::Key_Right);
    EXPECT_EQ(inizio->Frame.Left, chart().Chars2X(chart().X2Chars(45) + 1));
    form->actAlign->trigger();
    EXPECT_FALSE(chart().GridAlignTo());
    inizio->SetFrame(45, 21, 0, 0);
    Key(Qt::Key_Right);
    EXPECT_EQ(inizio->Frame.Left, 45 + shown().PageWidth / shown().Columns);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(inizio->Frame.Left, 45 + shown().PageWidth / shown().Columns);

    // Delete asks first; No keeps the box, Yes removes it and its links.
    dialogs->AnswerButton(IDNO);
    Key(Qt::Key_Delete);
    ASSERT_EQ(Box("Inizio"), inizio);
    EXPECT_EQ(dialogs->Questions().back().text, "Eliminare il box \"Inizio\"?");
    clsBox* movimenti = Box("Movimenti");
    dialogs->AnswerButton(IDYES);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Box("Inizio"), nullptr);
    EXPECT_EQ(movimenti->LinksIn.GetCount(), 0);
    EXPECT_TRUE(editor().Undo());
    inizio = Box("Inizio");
    movimenti = Box("Movimenti");
    ASSERT_NE(inizio, nullptr);
    EXPECT_TRUE(Links(inizio, movimenti));
    EXPECT_TRUE(LinkedFrom(movimenti, inizio));

    // Of two boxes of one name, the one selected goes.
    const int boxes = shown().GetCount();
    Drag(300, 480, 420, 540);
    ASSERT_TRUE(editor().SetBoxName("Movimenti"));
    EXPECT_EQ(form->BoxPanel->lblSameName->Caption(), "Un altro box ha lo stesso nome");
    dialogs->AnswerButton(IDYES);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Box("Movimenti"), movimenti);
    EXPECT_EQ(shown().GetCount(), boxes);

    // Enter enters a group and Backspace goes back, with the path and the
    // parent's preview showing where the user is.
    Key(Qt::Key_Return); // no box selected: nothing
    EXPECT_EQ(&shown(), &root());
    clsBox* group = Box("Verifiche");
    Click(Middle(group).x(), Middle(group).y());
    Key(Qt::Key_Return);
    ASSERT_EQ(&shown(), static_cast<clsBoxGroup*>(group)->Graf);
    EXPECT_EQ(form->PathLabel->Caption(), "Main : Verifiche : ");
    EXPECT_TRUE(form->actUp->isEnabled());
    const TRect preview(chart().PreviewLeft(), chart().PreviewTop(), chart().PreviewWidth(),
                        chart().PreviewHeight());
    EXPECT_GT(preview.Right - preview.Left, 20);
    EXPECT_LE(preview.Right, chart().Width());
    EXPECT_GE(preview.Left, chart().Width() / 2);
    const QImage inside = Image();
    EXPECT_GT(charttest::CountNot(inside, preview, 0xFFFFFF), 50);
    // The parent's boxes show in the preview: Inizio's colour is there.
    EXPECT_GT(charttest::Count(inside, preview, 0xFFFF00), 20);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(&shown(), &root());
    EXPECT_EQ(chart().SelectedBox(), group);
    EXPECT_EQ(form->PathLabel->Caption(), "Main : ");
    EXPECT_FALSE(form->actUp->isEnabled());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(&shown(), &root());

    // A group asks whether to go with all it holds.
    dialogs->AnswerButton(IDNO);
    Key(Qt::Key_Delete);
    EXPECT_EQ(dialogs->Questions().back().text,
              "Eliminare il gruppo \"Verifiche\" con tutto ci\xF2 che contiene?");
    EXPECT_EQ(dialogs->PendingAnswers(), 0);
}

TEST_F(Editor, DoubleClicksNavigateAsTheKeysDo) {
    OpenExample();
    clsBox* group = Box("Verifiche");
    const QPoint at = Middle(group);
    DoubleClick(at.x(), at.y());
    ASSERT_EQ(&shown(), static_cast<clsBoxGroup*>(group)->Graf);
    EXPECT_EQ(form->PathLabel->Caption(), "Main : Verifiche : ");
    EXPECT_TRUE(form->actUp->isEnabled());
    EXPECT_EQ(form->BoxPanel->lblBox->Caption(), "Nessun box selezionato");
    // The view follows into the group.
    form->actGrid->trigger();
    EXPECT_TRUE(shown().GridShow);
    DoubleClick(700, 650);
    EXPECT_EQ(&shown(), &root());
    EXPECT_TRUE(shown().GridShow);
    EXPECT_FALSE(form->actUp->isEnabled());
}

TEST_F(Editor, ThePanelShowsAndEditsTheSelectedBox) {
    OpenExample();
    charteditor::TBoxPanel& panel = *form->BoxPanel;
    EXPECT_EQ(panel.lblBox->Caption(), "Nessun box selezionato");
    EXPECT_FALSE(panel.edName->Enabled());
    clsBox* inizio = Box("Inizio");
    Click(Middle(inizio).x(), Middle(inizio).y());
    EXPECT_EQ(panel.lblBox->Caption(), "Box selezionato: Rettangolo");
    EXPECT_TRUE(panel.edName->Enabled());
    EXPECT_EQ(panel.edName->Text(), "Inizio");
    EXPECT_EQ(panel.memText->Text(), "Scelta del condominio");
    EXPECT_EQ(panel.memScript->Text(), "Condominio = Corrente");
    EXPECT_EQ(panel.memVariables->Text(), "Anno=2026");
    EXPECT_EQ(panel.pnlFill->Color(), inizio->FillColor);
    EXPECT_EQ(panel.lblFont->Caption(), "DejaVu Sans, 10 pt");
    EXPECT_EQ(panel.lblFrame->Caption(), "Riquadro: 41, 21 \x96 261, 81");

    // A change shows at once, on the chart and in the panel.
    const QPoint corner(inizio->Frame.Left + 4, inizio->Frame.Bottom - 4);
    EXPECT_EQ(charteditor::KindCaption("clsBoxGroup"), "Gruppo");
    EXPECT_EQ(charttest::At(Image(), corner.x(), corner.y()), inizio->FillColor);
    panel.AskColor = [](const AnsiString& title, TColor& color) {
        EXPECT_EQ(title, "Colore di sfondo");
        EXPECT_EQ(color, 0xFFFF00);
        color = 0x4080FF;
        return true;
    };
    panel.cmdFill->Click();
    EXPECT_EQ(inizio->FillColor, 0x4080FF);
    EXPECT_EQ(panel.pnlFill->Color(), 0x4080FF);
    EXPECT_EQ(charttest::At(Image(), corner.x(), corner.y()), 0x4080FF);
    panel.AskFont = [](AnsiString& name, int& size) {
        EXPECT_EQ(name, "DejaVu Sans");
        EXPECT_EQ(size, 10);
        name = "DejaVu Serif";
        size = 14;
        return true;
    };
    panel.cmdFont->Click();
    EXPECT_EQ(Str(inizio->FontName), "DejaVu Serif");
    EXPECT_EQ(panel.lblFont->Caption(), "DejaVu Serif, 14 pt");
    panel.AskColor = [](const AnsiString&, TColor&) { return false; };
    const int steps = editor().UndoSteps();
    panel.cmdShadow->Click();
    EXPECT_EQ(editor().UndoSteps(), steps);

    const QImage before = Image();
    QTest::keyClick(panel.memText->Widget(), Qt::Key_End, Qt::ControlModifier);
    Type(panel.memText, " corrente");
    EXPECT_EQ(Str(inizio->Text), "Scelta del condominio corrente");
    EXPECT_NE(Image(), before);
    // An empty line being typed at the end of the script stays in the memo.
    QTest::keyClick(panel.memScript->Widget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(panel.memScript->Widget(), Qt::Key_Return);
    Click(Middle(Box("Movimenti")).x(), Middle(Box("Movimenti")).y());
    Click(Middle(inizio).x(), Middle(inizio).y());
    EXPECT_EQ(panel.memScript->Text(), "Condominio = Corrente");
    EXPECT_EQ(inizio->Script.GetCount(), 1);

    // Undo brings the panel back with the box.
    EXPECT_TRUE(editor().Undo());
    EXPECT_EQ(panel.memText->Text(), "Scelta del condominio");
    EXPECT_TRUE(editor().Undo());
    EXPECT_TRUE(editor().Undo());
    EXPECT_EQ(panel.pnlFill->Color(), 0xFFFF00);
    Click(700, 650);
    EXPECT_EQ(panel.edName->Text(), "");
    EXPECT_FALSE(panel.memText->Enabled());
}

TEST_F(Editor, ComputingDrawsTheFlagsAndIsNoStepOfUndo) {
    OpenExample();
    EXPECT_FALSE(form->actForwards->isEnabled());
    clsBox* inizio = Box("Inizio");
    Click(Middle(inizio).x(), Middle(inizio).y());
    ASSERT_TRUE(form->actForwards->isEnabled());
    const TRect flag(25, 0, 50, 25);
    EXPECT_EQ(charttest::Count(Image(), flag, 0x00FF00), 0);
    form->actForwards->trigger();
    EXPECT_TRUE(chart().DrawFlags());
    EXPECT_TRUE(form->actFlags->isChecked());
    for (const char* name : {"Inizio", "Movimenti", "Verifiche", "Saldo", "Appunti"})
        EXPECT_EQ(Box(name)->ComputeState, 2) << name;
    EXPECT_GT(charttest::Count(Image(), flag, 0x00FF00), 0);
    EXPECT_FALSE(editor().CanUndo());
    EXPECT_FALSE(editor().Modified());

    // Backwards from Saldo: Verifiche and what leads to it, not Appunti.
    for (const char* name : {"Inizio", "Movimenti", "Verifiche", "Saldo", "Appunti"})
        Box(name)->ComputeState = 0;
    Click(Middle(Box("Saldo")).x(), Middle(Box("Saldo")).y());
    form->actBackwards->trigger();
    for (const char* name : {"Inizio", "Movimenti", "Verifiche", "Saldo"})
        EXPECT_EQ(Box(name)->ComputeState, 2) << name;
    EXPECT_EQ(Box("Appunti")->ComputeState, 0);
}

TEST_F(Editor, ExportWritesThePictureTheChartShows) {
    OpenExample();
    Click(Middle(Box("Inizio")).x(), Middle(Box("Inizio")).y());
    AnsiString proposed;
    editor().AskExportName = [&](AnsiString& name) {
        proposed = name;
        name = AnsiString(dir / "scelto");
        return true;
    };
    form->actExportPng->trigger();
    EXPECT_EQ(proposed, AnsiString(dir / "conti.png"));
    const QImage png(QString::fromStdString(dir / "scelto.png"));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(chart().Width(), chart().Height()));
    // The selection is the editor's, not the chart's: not in the picture.
    EXPECT_NE(chart().SelectedBox(), nullptr);
    chart().SetSelectedBox(nullptr);
    ASSERT_TRUE(editor().ExportTo(AnsiString(dir / "senza.png")));
    EXPECT_EQ(QImage(QString::fromStdString(dir / "senza.png")), png);
    EXPECT_EQ(charttest::At(png, 61, 41), Box("Inizio")->FillColor);

    form->actExportPdf->trigger();
    EXPECT_EQ(proposed, AnsiString(dir / "conti.pdf"));
    EXPECT_EQ(FileText(dir / "scelto.pdf").rfind("%PDF", 0), 0u);
    EXPECT_GT(FileText(dir / "scelto.pdf").size(), 1000u);

    EXPECT_FALSE(editor().ExportTo(AnsiString(dir / "x.jpg")));
    EXPECT_EQ(dialogs->Questions().back().text,
              "Il file \"" + AnsiString(dir / "x.jpg") + "\" deve terminare con .png o .pdf.");
    EXPECT_FALSE(std::filesystem::exists(dir / "x.jpg"));
}

TEST_F(Editor, TheToolBarChoosesTheKindOfNewBoxes) {
    OpenExample();
    QComboBox* kinds = form->KindBox;
    ASSERT_EQ(kinds->count(), quorgrafica::BoxFunctions().GetCount());
    EXPECT_EQ(kinds->currentText(), "Rettangolo");
    kinds->setCurrentIndex(kinds->findText("Gruppo"));
    EXPECT_EQ(chart().BoxStyle(), "clsBoxGroup");
    Drag(300, 480, 420, 540);
    auto* group = dynamic_cast<clsBoxGroup*>(chart().SelectedBox());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(Str(group->Name), "Gruppo1");
    EXPECT_TRUE(form->actEnter->isEnabled());
    kinds->setCurrentIndex(kinds->findText("Linea"));
    Drag(450, 600, 560, 640);
    EXPECT_EQ(Str(chart().SelectedBox()->Name), "Linea1");
    for (QAction* toggle : {form->actNames, form->actTexts}) {
        toggle->trigger();
        EXPECT_FALSE(toggle->isChecked());
    }
    EXPECT_FALSE(chart().ShowBoxName());
    EXPECT_FALSE(chart().ShowBoxText());
}

TEST_F(Editor, TheShortcutsOfTheMenusWorkInTheWindow) {
    form->Widget()->activateWindow();
    if (!QTest::qWaitForWindowActive(form->Widget()))
        GTEST_SKIP() << "the platform does not activate windows";
    OpenExample();
    Click(Middle(Box("Inizio")).x(), Middle(Box("Inizio")).y());
    const TRect start = Box("Inizio")->Frame;
    Key(Qt::Key_Right);
    QTest::keyClick(form->Widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Box("Inizio")->Frame, start);
    QTest::keyClick(form->Widget(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(Box("Inizio")->Frame, start);
    QTest::keyClick(form->Widget(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(form->Widget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NE(Box("Inizio")->Frame, start);
    saveNames = {dir / "scorciatoia.chart"};
    QTest::keyClick(form->Widget(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(editor().FileName(), AnsiString(dir / "conti.chart"));
    EXPECT_EQ(FileText(dir / "conti.chart"), Snapshot());
}

} // namespace
} // namespace editortest
