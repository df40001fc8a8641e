// The chart editor's clipboard: boxes copied from one editor window and
// pasted into another, pasted again under new names, chart text from a text
// editor, text that is no chart, cut and duplicate.

#include "tests/tools/EditorFixture.h"

#include "tools/charteditor/EditorClipboard.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMimeData>

namespace editortest {
namespace {

using Boxes = std::vector<clsBox*>;
using quorgrafica::clsBoxGroup;

std::vector<std::string> LinkNames(const clsBox* box) {
    std::vector<std::string> names;
    for (int i = 0; i < box->LinksOut.GetCount(); ++i)
        names.push_back(Str(box->LinksOut.GetValue(i)->Name));
    return names;
}

TEST_F(Editor, BoxesCopiedInOneWindowPasteIntoAnotherWithTheirLinksAndGroups) {
    OpenExample();
    clsBox* movimenti = Box("Movimenti");
    clsBox* verifiche = Box("Verifiche");
    movimenti->Script.AddPair("", "Somma i movimenti");
    movimenti->FillColor = 0x80FF80;
    chart().SelectBoxes({movimenti, verifiche, Box("Appunti")}, movimenti);
    Key(Qt::Key_C, Qt::ControlModifier);
    // The clipboard holds chart text both as plain text and as its own type.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(charteditor::ChartMimeType));
    EXPECT_EQ(data->text().toUtf8(), data->data(charteditor::ChartMimeType));
    EXPECT_NE(data->text().indexOf("Name=Verifiche"), -1);
    EXPECT_EQ(editor().UndoSteps(), 0);

    // A second editor, as another window of the program.
    charteditor::TfrmChartEditor second;
    second.SetBounds(0, 0, 1000, 700);
    second.Show();
    second.Chart->PaintToImage();
    clsGraf& there = *second.Chart->CurrentGraf();
    const TPoint at{201, 301};
    ASSERT_TRUE(second.Editor().Paste(&at));
    ASSERT_EQ(there.GetCount(), 3);
    clsBox* m = there.GetBox("Movimenti");
    clsBox* v = there.GetBox("Verifiche");
    clsBox* a = there.GetBox("Appunti");
    ASSERT_TRUE(m && v && a);
    EXPECT_EQ(second.Chart->SelectedBoxes(), (Boxes{m, v, a}));
    EXPECT_EQ(second.Editor().UndoSteps(), 1);
    // Texts, colours, scripts; links among them only (Verifiche's to
    // Saldo stays behind), and the nested graph with its own links.
    EXPECT_EQ(Str(m->Text), Str(movimenti->Text));
    EXPECT_EQ(m->FillColor, 0x80FF80);
    ASSERT_EQ(m->Script.GetCount(), movimenti->Script.GetCount());
    EXPECT_EQ(Str(m->Script.GetValueText(m->Script.GetCount() - 1)), "Somma i movimenti");
    EXPECT_EQ(LinkNames(m), std::vector<std::string>{"Verifiche"});
    EXPECT_EQ(LinkNames(v), std::vector<std::string>{"Appunti"});
    clsGraf* nested = static_cast<clsBoxGroup*>(v)->Graf;
    ASSERT_EQ(nested->GetCount(), static_cast<clsBoxGroup*>(verifiche)->Graf->GetCount());
    EXPECT_EQ(nested->Owner, v);
    EXPECT_EQ(LinkNames(nested->GetBox("Date")), std::vector<std::string>{"Importi"});
    // The top left corner of them all at the pointer; their shapes kept.
    EXPECT_EQ(m->Frame.Left, there.AlignX(at.x));
    EXPECT_EQ(m->Frame.Top, there.AlignY(at.y));
    EXPECT_EQ(v->Frame.Top - m->Frame.Top, verifiche->Frame.Top - movimenti->Frame.Top);
    EXPECT_EQ(a->Frame.Right - a->Frame.Left, 220);
    // The second window can go into the group pasted.
    second.Chart->SetSelectedBox(v);
    EXPECT_TRUE(second.Editor().EnterGroup());
    EXPECT_EQ(second.Chart->CurrentGraf(), nested);
    EXPECT_TRUE(second.Editor().GoUp());

    // Pasted again into the first window: every name is taken, so each box
    // gets a new one, and the links follow.
    const TRect before = movimenti->Frame;
    QCursor::setPos(QPoint(5000, 5000));
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(shown().GetCount(), 9);
    const Boxes pasted = chart().SelectedBoxes();
    ASSERT_EQ(pasted.size(), 3u);
    EXPECT_EQ(Str(pasted[0]->Name), "Box1");
    EXPECT_EQ(Str(pasted[1]->Name), "Gruppo1");
    EXPECT_EQ(Str(pasted[2]->Name), "Box2");
    EXPECT_EQ(LinkNames(pasted[0]), std::vector<std::string>{"Gruppo1"});
    EXPECT_EQ(LinkNames(pasted[1]), std::vector<std::string>{"Box2"});
    EXPECT_EQ(LinkNames(movimenti), std::vector<std::string>{"Verifiche"});
    // With the pointer away from the chart: one grid step off the originals.
    EXPECT_EQ(pasted[0]->Frame.Left, shown().Chars2X(1) - shown().Chars2X(0) + before.Left);
    EXPECT_GT(pasted[0]->Frame.Top, before.Top);
    EXPECT_EQ(editor().UndoSteps(), 1);
    EXPECT_TRUE(editor().Undo());
    EXPECT_EQ(shown().GetCount(), 6);

    // With the pointer on the chart, Ctrl+V pastes where it is.
    QCursor::setPos(ChartWidget()->mapToGlobal(QPoint(400, 450)));
    Hover(400, 450);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(chart().SelectedBoxes().size(), 3u);
    EXPECT_EQ(chart().SelectedBox()->Frame.Left, shown().AlignX(400));
    EXPECT_EQ(chart().SelectedBox()->Frame.Top, shown().AlignY(450));
}

TEST_F(Editor, ChartTextFromATextEditorPastesAndOtherTextIsRefused) {
    OpenExample();
    const std::string opened = Snapshot();
    // Plain text that is no chart: a message, nothing changes.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Spesa: pane, latte"));
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].text,
              "Gli appunti non contengono box di un diagramma da incollare.");
    EXPECT_EQ(Snapshot(), opened);
    EXPECT_EQ(editor().UndoSteps(), 0);
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(editor().Paste());
    EXPECT_EQ(editor().UndoSteps(), 0);
    EXPECT_EQ(dialogs->Questions().size(), 2u);

    // A whole chart file's text, copied from a text editor (CR LF, accents):
    // its root graph's boxes come in.
    std::string file = FileText(ExampleChart());
    std::string crlf;
    for (char c : file) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    QGuiApplication::clipboard()->setText(QString::fromUtf8(crlf.c_str()) +
                                          QString::fromUtf8("clsBox.Type=clsBoxRectangle\r\n{\r\n"
                                                            "Name=Caffè\r\nFrame=1,1,50,50\r\n}\r\n"));
    ASSERT_TRUE(editor().Paste());
    EXPECT_EQ(shown().GetCount(), 6 + 7);
    ASSERT_NE(Box("Caff\xE8"), nullptr);
    EXPECT_EQ(editor().UndoSteps(), 1);

    // Duplicate: a copy one step off, the clipboard untouched; Cut: gone
    // and on the clipboard, one step each.
    clsBox* saldo = Box("Saldo");
    chart().SelectBoxes({saldo});
    const QString clip = QGuiApplication::clipboard()->text();
    Key(Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(chart().SelectedBoxes().size(), 1u);
    clsBox* copy = chart().SelectedBox();
    EXPECT_NE(copy, saldo);
    EXPECT_GT(copy->Frame.Left, saldo->Frame.Left);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), clip);
    EXPECT_EQ(editor().UndoSteps(), 2);
    const std::string name = Str(copy->Name);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Box(name.c_str()), nullptr);
    EXPECT_EQ(editor().UndoSteps(), 3);
    EXPECT_NE(QGuiApplication::clipboard()->text().indexOf(QString::fromStdString("Name=" + name)),
              -1);
    // Cut asks nothing: what it takes is on the clipboard.
    EXPECT_EQ(dialogs->Questions().size(), 2u);
}

} // namespace
} // namespace editortest
