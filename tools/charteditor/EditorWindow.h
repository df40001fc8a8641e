#pragma once
// The chart editor's window: the menus and the tool bar on top, the chart
// with the path of the graph on show in the middle, the box panel on the
// right and a line of hints at the bottom. The work is ChartEditor's; the
// window shows it and asks the user for files, colours and fonts.

#include "platform/gui/Form.h"

#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QMenuBar;
class QObject;
class QToolBar;
class TLabel;

namespace charteditor {

class ChartEditor;
class TBoxPanel;
class TEditorChart;
class TKeyPanel;
class TQtHost;

class TfrmChartEditor : public TForm {
public:
    explicit TfrmChartEditor(TComponent* owner = nullptr);
    ~TfrmChartEditor() override;
    QUOR_CLASS_NAME(TfrmChartEditor)

    ChartEditor& Editor() const { return *editor_; }

    TQtHost* MenuHost;
    TQtHost* ToolHost;
    TLabel* StatusLabel;
    TBoxPanel* BoxPanel;
    TKeyPanel* ChartPanel;
    TLabel* PathLabel;
    TEditorChart* Chart;

    // The commands of the menus, the tool bar and the shortcuts.
    QMenuBar* MenuBar;
    QToolBar* ToolBar;
    QComboBox* KindBox;
    QAction* actNew;
    QAction* actOpen;
    QAction* actSave;
    QAction* actSaveAs;
    QAction* actExportPng;
    QAction* actExportPdf;
    QAction* actPrint;
    QAction* actQuit;
    QAction* actUndo;
    QAction* actRedo;
    QAction* actDelete;
    QAction* actSelectAll;
    QAction* actCut;
    QAction* actCopy;
    QAction* actPaste;
    QAction* actDuplicate;
    QAction* actPointer;
    // "Disponi": align left, centre, right, top, middle, bottom, distribute
    // across and down, same width and height, in that order.
    std::vector<QAction*> actArrange;
    QAction* actNames;
    QAction* actTexts;
    QAction* actFlags;
    QAction* actGrid;
    QAction* actAlign;
    QAction* actEnter;
    QAction* actUp;
    QAction* actConnect;
    QAction* actForwards;
    QAction* actBackwards;
    QAction* actReset;
    // The view: zoom in and out, 100%, the whole graph.
    QAction* actZoomIn;
    QAction* actZoomOut;
    QAction* actZoom100;
    QAction* actZoomFit;

private:
    void BuildMenus();
    void BuildToolBar();
    // Menus, tool bar, title and hints follow the editor.
    void UpdateCommands();
    void UpdateStatus();

    std::unique_ptr<ChartEditor> editor_;
    // Parent of the actions, which outlive the menu and tool bar widgets.
    std::unique_ptr<QObject> actions_;
};

} // namespace charteditor
