#include "tools/charteditor/EditorWindow.h"

#include "platform/core/Application.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/gui/ControlWidget.h"
#include "platform/gui/Label.h"
#include "quorgrafica/BoxRegistry.h"
#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/BoxEdits.h"
#include "tools/charteditor/BoxPanel.h"
#include "tools/charteditor/ChartEditor.h"
#include "tools/charteditor/EditorChart.h"
#include "tools/charteditor/QtHost.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QFontDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>
#include <QToolBar>

#include <functional>

namespace charteditor {

namespace {

// A command's exception goes to the application's error display, as a
// control's handler's does.
void Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}

QAction* Command(QObject* parent, const char* text, const std::function<void()>& run,
                 QKeySequence shortcut = QKeySequence()) {
    auto* action = new QAction(QString::fromUtf8(text), parent);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, [run] { Guarded(run); });
    return action;
}

QAction* Toggle(QObject* parent, const char* text, const char* shortText, bool on,
                const std::function<void(bool)>& set) {
    auto* action = new QAction(QString::fromUtf8(text), parent);
    action->setIconText(QString::fromUtf8(shortText));
    action->setCheckable(true);
    action->setChecked(on);
    QObject::connect(action, &QAction::toggled,
                     [set](bool value) { Guarded([&] { set(value); }); });
    return action;
}

const char* const FileFilter = "Diagrammi (*.chart);;Tutti i file (*)";

} // namespace

TfrmChartEditor::TfrmChartEditor(TComponent* owner)
    : TForm(owner), actions_(std::make_unique<QObject>()) {
    SetName("frmChartEditor");
    SetBounds(60, 40, 1120, 740);
    SetPosition(poScreenCenter);

    ChartPanel = new TKeyPanel(this);
    Chart = new TEditorChart(this);
    PathLabel = new TLabel(this);
    editor_ = std::make_unique<ChartEditor>(*Chart);
    ChartEditor& editor = *editor_;

    BuildMenus();
    BuildToolBar();
    MenuHost = new TQtHost(this, MenuBar);
    MenuHost->SetParent(this);
    MenuHost->SetAlign(alTop);
    ToolHost = new TQtHost(this, ToolBar);
    ToolHost->SetParent(this);
    ToolHost->SetTop(MenuHost->Height());
    ToolHost->SetAlign(alTop);

    StatusLabel = new TLabel(this);
    StatusLabel->SetParent(this);
    StatusLabel->SetAutoSize(false);
    StatusLabel->SetHeight(22);
    StatusLabel->SetAlign(alBottom);

    BoxPanel = new TBoxPanel(this, editor);
    BoxPanel->SetParent(this);
    BoxPanel->SetAlign(alRight);
    BoxPanel->AskColor = [this](const AnsiString& title, TColor& color) {
        const QColor chosen = QColorDialog::getColor(ToQColor(color), Widget(), ToQString(title));
        if (!chosen.isValid()) return false;
        color = FromQColor(chosen);
        return true;
    };
    BoxPanel->AskFont = [this](AnsiString& name, int& size) {
        bool ok = false;
        const QFont initial(name.IsEmpty() ? ToQString(Chart->Font()->Name()) : ToQString(name),
                            size > 0 ? size : Chart->Font()->Size());
        const QFont chosen =
            QFontDialog::getFont(&ok, initial, Widget(), QString::fromUtf8("Carattere del box"));
        if (!ok) return false;
        name = FromQString(chosen.family());
        size = chosen.pointSize() > 0 ? chosen.pointSize() : size;
        return true;
    };

    ChartPanel->SetParent(this);
    ChartPanel->SetAlign(alClient);
    ChartPanel->OnChartKey = [&editor](unsigned short key, TShiftState shift) {
        return editor.ChartKey(key, shift);
    };
    PathLabel->SetParent(ChartPanel);
    PathLabel->SetAutoSize(false);
    PathLabel->SetHeight(24);
    PathLabel->SetAlign(alTop);
    PathLabel->Font()->SetStyle(fsBold);
    Chart->SetParent(ChartPanel);
    Chart->SetAlign(alClient);
    Chart->SetShowBoxName(true);
    Chart->SetShowBoxText(true);
    Chart->SetLabel(PathLabel);
    // Scroll bars, the wheel and zoom: every box of any chart can be reached.
    Chart->SetViewEnabled(true);
    Chart->OnViewChange = [this](TObject*) { UpdateStatus(); };
    Chart->OnResize = [&editor](TObject*) { editor.PlacePreview(); };

    editor.AskOpenName = [this](AnsiString& name) {
        const QString chosen =
            QFileDialog::getOpenFileName(Widget(), QString::fromUtf8("Apri un diagramma"),
                                         ToQString(name), QString::fromUtf8(FileFilter));
        name = FromQString(chosen);
        return !chosen.isEmpty();
    };
    editor.AskSaveName = [this](AnsiString& name) {
        const QString chosen =
            QFileDialog::getSaveFileName(Widget(), QString::fromUtf8("Salva il diagramma"),
                                         ToQString(name), QString::fromUtf8(FileFilter));
        name = FromQString(chosen);
        return !chosen.isEmpty();
    };
    editor.AskExportName = [this](AnsiString& name) {
        const QString chosen = QFileDialog::getSaveFileName(
            Widget(), QString::fromUtf8("Esporta il grafico mostrato"), ToQString(name),
            QString::fromUtf8("Immagine PNG (*.png);;Documento PDF (*.pdf)"));
        name = FromQString(chosen);
        return !chosen.isEmpty();
    };
    editor.AskPrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, Widget());
        dialog.setWindowTitle(QString::fromUtf8("Stampa il diagramma"));
        return dialog.exec() == QDialog::Accepted;
    };
    editor.PointerOnChart = [this](TPoint& at) {
        QWidget* widget = Chart->Widget();
        if (!widget || !widget->rect().contains(widget->mapFromGlobal(QCursor::pos()))) return false;
        at = Chart->LastPointer();
        return true;
    };
    editor.OnStateChange = [this] { UpdateCommands(); };
    editor.OnSelectionChange = [this] {
        BoxPanel->Refresh();
        UpdateCommands();
    };
    OnCloseQuery = [&editor](TObject*, bool& canClose) { canClose = editor.CanClose(); };
    OnShow = [this](TObject*) { ChartPanel->SetFocus(); };

    UpdateCommands();
}

TfrmChartEditor::~TfrmChartEditor() {
    // The actions and the box panel call on the editor, which calls on the
    // chart: they go in that order.
    actions_.reset();
    OnCloseQuery = nullptr;
    Chart->OnResize = nullptr;
    Chart->OnViewChange = nullptr;
    ChartPanel->OnChartKey = nullptr;
    delete BoxPanel;
    BoxPanel = nullptr;
    editor_.reset();
    DestroyComponents();
}

void TfrmChartEditor::BuildMenus() {
    ChartEditor& editor = *editor_;
    QObject* owner = actions_.get();
    actNew = Command(
        owner, "&Nuovo", [&editor] { editor.NewChart(); }, QKeySequence::New);
    actOpen = Command(
        owner, "&Apri...", [&editor] { editor.Open(); }, QKeySequence::Open);
    actSave = Command(
        owner, "&Salva", [&editor] { editor.Save(); }, QKeySequence::Save);
    actSaveAs = Command(
        owner, "Salva &con nome...", [&editor] { editor.SaveAs(); },
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    actExportPng = Command(owner, "Esporta come &PNG...", [&editor] { editor.Export(".png"); });
    actExportPdf = Command(owner, "Esporta come P&DF...", [&editor] { editor.Export(".pdf"); });
    actPrint = Command(
        owner, "S&tampa...", [&editor] { editor.Print(); }, QKeySequence::Print);
    actQuit = Command(
        owner, "&Esci", [this] { Close(); }, QKeySequence(Qt::CTRL | Qt::Key_Q));

    actUndo = Command(owner, "&Annulla", [&editor] { editor.Undo(); });
    actUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actRedo = Command(owner, "&Ripeti", [&editor] { editor.Redo(); });
    actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // Keys of the chart itself: a field of the box panel keeps them for its
    // own text, so the menus only name them.
    actDelete = Command(owner, "&Elimina la selezione\tCanc", [&editor] { editor.DeleteSelected(); });
    actCut = Command(owner, "&Taglia\tCtrl+X", [&editor] { editor.Cut(); });
    actCopy = Command(owner, "&Copia\tCtrl+C", [&editor] { editor.Copy(); });
    actPaste = Command(owner, "&Incolla\tCtrl+V", [&editor] { editor.Paste(); });
    actDuplicate = Command(owner, "&Duplica\tCtrl+D", [&editor] { editor.Duplicate(); });
    actSelectAll = Command(owner, "Seleziona &tutto\tCtrl+A", [&editor] { editor.SelectAll(); });
    actPointer = Toggle(owner, "&Puntatore: trascinare seleziona i box", "Puntatore", false,
                        [this](bool on) {
                            editor_->SetPointerTool(on);
                            UpdateStatus();
                        });

    actNames = Toggle(owner, "Mostra i &nomi", "Nomi", true,
                      [this](bool on) { Chart->SetShowBoxName(on); });
    actTexts = Toggle(owner, "Mostra i &testi", "Testi", true,
                      [this](bool on) { Chart->SetShowBoxText(on); });
    actFlags = Toggle(owner, "Mostra gli &esiti del calcolo", "Esiti", false,
                      [this](bool on) { Chart->SetDrawFlags(on); });
    actGrid =
        Toggle(owner, "&Griglia", "Griglia", false, [&editor](bool on) { editor.SetGridShow(on); });
    actAlign = Toggle(owner, "&Allinea alla griglia", "Allinea", true,
                      [&editor](bool on) { editor.SetGridAlign(on); });
    actEnter = Command(owner, "Entra nel &gruppo\tInvio", [&editor] { editor.EnterGroup(); });
    actUp = Command(owner, "&Livello superiore\tBackspace", [&editor] { editor.GoUp(); });

    actConnect = Toggle(owner, "&Collega i box (tasto destro)", "Collega", false, [this](bool on) {
        Chart->SetConnectBoxes(on);
        UpdateStatus();
    });
    actForwards = Command(
        owner, "Calcola in &avanti", [&editor] { editor.Compute(ComputeWay::Forwards); },
        QKeySequence(Qt::Key_F9));
    actBackwards = Command(
        owner, "Calcola all'&indietro", [&editor] { editor.Compute(ComputeWay::Backwards); },
        QKeySequence(Qt::SHIFT | Qt::Key_F9));
    actReset =
        Command(owner, "A&zzera il calcolo", [&editor] { editor.Compute(ComputeWay::Reset); });

    actZoomIn = Command(owner, "&Ingrandisci", [this] { Chart->ZoomIn(); });
    actZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus),
                             QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence::ZoomIn});
    actZoomOut = Command(owner, "&Riduci", [this] { Chart->ZoomOut(); });
    actZoomOut->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence::ZoomOut});
    actZoom100 = Command(
        owner, "Dimensioni &reali (100%)", [this] { Chart->ZoomReset(); },
        QKeySequence(Qt::CTRL | Qt::Key_0));
    actZoomFit = Command(owner, "A&datta alla finestra", [this] { Chart->ZoomToFit(); });

    using quorgrafica::AlignKind;
    const std::pair<const char*, AlignKind> arrange[] = {
        {"Allinea a &sinistra", AlignKind::Left},
        {"Allinea al &centro", AlignKind::Centre},
        {"Allinea a &destra", AlignKind::Right},
        {"Allinea in &alto", AlignKind::Top},
        {"Allinea in &mezzo", AlignKind::Middle},
        {"Allinea in &basso", AlignKind::Bottom},
        {"Distribuisci in &orizzontale", AlignKind::DistributeAcross},
        {"Distribuisci in &verticale", AlignKind::DistributeDown},
        {"Stessa &larghezza", AlignKind::SameWidth},
        {"Stessa al&tezza", AlignKind::SameHeight}};
    for (const auto& [text, kind] : arrange)
        actArrange.push_back(
            Command(owner, text, [&editor, kind = kind] { editor.AlignSelected(kind); }));

    MenuBar = new QMenuBar();
    QMenu* file = MenuBar->addMenu(QString::fromUtf8("&File"));
    file->addActions({actNew, actOpen, actSave, actSaveAs});
    file->addSeparator();
    file->addActions({actExportPng, actExportPdf});
    file->addSeparator();
    file->addAction(actPrint);
    file->addSeparator();
    file->addAction(actQuit);
    QMenu* edit = MenuBar->addMenu(QString::fromUtf8("&Modifica"));
    edit->addActions({actUndo, actRedo});
    edit->addSeparator();
    edit->addActions({actCut, actCopy, actPaste, actDuplicate});
    edit->addSeparator();
    edit->addActions({actSelectAll, actDelete});
    edit->addSeparator();
    edit->addAction(actPointer);
    QMenu* view = MenuBar->addMenu(QString::fromUtf8("&Visualizza"));
    view->addActions({actNames, actTexts, actFlags});
    view->addSeparator();
    view->addActions({actGrid, actAlign});
    view->addSeparator();
    view->addActions({actEnter, actUp});
    view->addSeparator();
    view->addActions({actZoomIn, actZoomOut, actZoom100, actZoomFit});
    QMenu* arrangeMenu = MenuBar->addMenu(QString::fromUtf8("D&isponi"));
    for (std::size_t i = 0; i < actArrange.size(); ++i) {
        if (i == 6 || i == 8) arrangeMenu->addSeparator();
        arrangeMenu->addAction(actArrange[i]);
    }
    QMenu* chart = MenuBar->addMenu(QString::fromUtf8("&Diagramma"));
    chart->addAction(actConnect);
    chart->addSeparator();
    chart->addActions({actForwards, actBackwards, actReset});
}

void TfrmChartEditor::BuildToolBar() {
    ToolBar = new QToolBar();
    ToolBar->setMovable(false);
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QStyle* style = ToolBar->style();
    actNew->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    actOpen->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    actSave->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    actUndo->setIcon(style->standardIcon(QStyle::SP_ArrowBack));
    actRedo->setIcon(style->standardIcon(QStyle::SP_ArrowForward));
    ToolBar->addActions({actNew, actOpen, actSave});
    ToolBar->addSeparator();
    ToolBar->addActions({actUndo, actRedo});
    ToolBar->addSeparator();
    ToolBar->addAction(actPointer);
    ToolBar->addWidget(new QLabel(QString::fromUtf8(" Nuovi box: ")));
    KindBox = new QComboBox();
    const auto& kinds = quorgrafica::BoxFunctions();
    for (int i = 0; i < kinds.GetCount(); ++i) {
        const quorbase::clsString& kind = kinds.GetKey(i);
        KindBox->addItem(
            ToQString(KindCaption(kind)),
            ToQString(AnsiString(std::string(kind.CStr() ? kind.CStr() : "",
                                             static_cast<std::size_t>(kind.Length())))));
    }
    KindBox->setCurrentIndex(std::max(0, KindBox->findData(ToQString(Chart->BoxStyle()))));
    QObject::connect(KindBox, &QComboBox::currentIndexChanged, [this](int index) {
        Guarded([&] { Chart->SetBoxStyle(FromQString(KindBox->itemData(index).toString())); });
    });
    // Choosing a kind is choosing to draw boxes.
    QObject::connect(KindBox, &QComboBox::activated, [this](int) { actPointer->setChecked(false); });
    ToolBar->addWidget(KindBox);
    ToolBar->addActions({actConnect});
    ToolBar->addSeparator();
    ToolBar->addActions({actGrid, actAlign, actNames, actTexts, actFlags});
}

void TfrmChartEditor::UpdateCommands() {
    const ChartEditor& editor = *editor_;
    SetCaption(editor.Caption());
    quorgrafica::clsBox* selected = Chart->SelectedBox();
    actUndo->setEnabled(editor.CanUndo());
    actRedo->setEnabled(editor.CanRedo());
    actDelete->setEnabled(selected != nullptr || Chart->SelectedLink());
    for (QAction* action : {actCut, actCopy, actDuplicate})
        action->setEnabled(selected != nullptr);
    const std::size_t count = Chart->SelectedBoxes().size();
    for (std::size_t i = 0; i < actArrange.size(); ++i)
        actArrange[i]->setEnabled(count >= (i == 6 || i == 7 ? 3u : 2u));
    actSelectAll->setEnabled(Chart->CurrentGraf()->GetCount() > 0);
    if (actPointer->isChecked() != Chart->PointerTool()) actPointer->setChecked(Chart->PointerTool());
    for (QAction* compute : {actForwards, actBackwards, actReset})
        compute->setEnabled(selected != nullptr);
    auto* group = dynamic_cast<quorgrafica::clsBoxGroup*>(selected);
    actEnter->setEnabled(group && group->Graf);
    actUp->setEnabled(Chart->CurrentGraf()->Owner != nullptr);
    // Computing turns the flags on.
    if (actFlags->isChecked() != Chart->DrawFlags()) actFlags->setChecked(Chart->DrawFlags());
    UpdateStatus();
}

void TfrmChartEditor::UpdateStatus() {
    StatusLabel->SetCaption(
        AnsiString(" Zoom " + std::to_string(Chart->ZoomPercent()) + "%  |") +
        (Chart->ConnectBoxes()
            ? " Collegare: trascinare col tasto destro dal box selezionato a un altro box."
        : Chart->PointerTool()
            ? " Trascinare sul vuoto: seleziona i box nel riquadro; Maiusc+clic: aggiunge o "
              "toglie un box; Ctrl+A: tutti. Clic su un collegamento: lo seleziona. Frecce: sposta, "
              "Canc: elimina."
            : " Trascinare sul vuoto: nuovo box; su un box: spostarlo, sui bordi: "
              "ridimensionarlo; su un collegamento: selezionarlo. Frecce: sposta, Canc: elimina, "
              "Invio: entra nel gruppo, Backspace: torna su."));
}

} // namespace charteditor
