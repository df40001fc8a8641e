#pragma once
// ChartEditor: the chart editor's work, apart from its window. It edits the
// chart of a flowchart component: the file it came from, whether it has
// changed since, the undo history, and the commands of the menus, the keys
// and the box panel. Questions go through the application's dialogs and file
// names through the Ask... callbacks, so that tests can answer both.
//
// Every change to the chart is a step of undo: the mouse's (a box drawn,
// moved, resized, linked), the keys' (a box moved or removed) and the box
// panel's (what is typed into one field is one step). Computing is not: its
// flags are not part of the chart.

#include "platform/core/AnsiString.h"
#include "platform/core/Types.h"
#include "platform/gui/ControlTypes.h"
#include "quorgrafica/ChartAlign.h"
#include "tools/charteditor/ChartHistory.h"

#include <functional>
#include <string>
#include <vector>

class QPainter;
class QPrinter;
class QRectF;

namespace quorgrafica {
class clsBox;
class clsGraf;
} // namespace quorgrafica

namespace charteditor {

class TEditorChart;

enum class ComputeWay { Forwards, Backwards, Reset };

class ChartEditor {
public:
    // The editor works on chart's chart from now on, which starts as a new,
    // empty one; it takes over the chart's change and new-box events.
    explicit ChartEditor(TEditorChart& chart);
    ~ChartEditor();
    ChartEditor(const ChartEditor&) = delete;
    ChartEditor& operator=(const ChartEditor&) = delete;

    TEditorChart& Chart() const { return chart_; }

    // The document. FileName is empty until the chart is saved or opened.
    const AnsiString& FileName() const { return fileName_; }
    bool Modified() const { return history_.Modified(); }
    // The file's name without its folder, or "Senza nome".
    AnsiString DocumentName() const;
    // The window's title: "conti.chart - Editor di diagrammi", with a "*"
    // in front while there are unsaved changes.
    AnsiString Caption() const;

    // File names asked of the user: the proposal comes in name, the answer
    // goes out in it; false when the user cancels.
    std::function<bool(AnsiString& name)> AskOpenName;
    std::function<bool(AnsiString& name)> AskSaveName;
    std::function<bool(AnsiString& name)> AskExportName;

    // Over unsaved changes, New and Open first ask whether to save them.
    bool NewChart();
    bool Open();
    // Reads the file in place of the chart. A failure leaves the chart as it
    // was and says why: in error when given, else in a message.
    bool OpenFile(const AnsiString& fileName, AnsiString* error = nullptr);
    // Save asks for a name only for a chart never saved; Save as always.
    bool Save();
    bool SaveAs();
    bool SaveTo(const AnsiString& fileName);
    // Whether the chart may be closed: true when nothing is unsaved, or the
    // user has the changes saved or dropped; false when the user cancels.
    bool CanClose();

    // The graph on show, as the component draws it, into a PNG image or a
    // PDF page; extension (".png", ".pdf") is the kind proposed.
    bool Export(const char* extension);
    bool ExportTo(const AnsiString& fileName);

    // Prints the graph on show as the PDF export draws it, fitted to the
    // printable part of the page. The printer is chosen by AskPrinter (the
    // platform's print dialog); false when the user cancels. A printer
    // that cannot be drawn on gives a message.
    bool Print();
    std::function<bool(QPrinter& printer)> AskPrinter;
    bool PrintTo(QPrinter& printer);
    // The graph on show drawn as on a PDF page, scaled to fit page (device
    // pixels of painter's device) with its top left corner there.
    void DrawFitted(QPainter& painter, const QRectF& page);

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // Each shows the graph where the change was made, with its box selected.
    bool Undo();
    bool Redo();
    int UndoSteps() const { return history_.Steps(); }

    // Removes the selected boxes, or the selected link, after asking the
    // user; one step of undo.
    bool DeleteSelected();
    // Removes the selected link from both its boxes, without a question;
    // one step of undo.
    bool DeleteSelectedLink();
    // Moves the selected boxes by grid steps (columns right, rows down).
    bool MoveSelected(int columns, int rows);
    // Selects every box of the graph on show.
    bool SelectAll();
    // Lines the selected boxes up (on the grid when alignment is on); sizes
    // come from the selected box. One step of undo; false when nothing
    // moves.
    bool AlignSelected(quorgrafica::AlignKind kind);

    // The clipboard holds the selected boxes as chart text, with the links
    // among them and the graphs nested in groups. Cut then removes them,
    // without a question (they are on the clipboard); one step of undo.
    bool Copy();
    bool Cut();
    // The clipboard's chart text as new boxes of the graph on show: renamed
    // where their names are taken (their links follow), placed with the top
    // left corner of them all at at (page pixels), or one grid step off
    // where they were when at is null, and selected; one step of undo. Text
    // that describes no box gives a message and changes nothing.
    bool Paste(const TPoint* at = nullptr);
    bool PasteText(const std::string& text, const TPoint* at = nullptr);
    // A copy of the selected boxes one grid step off; the clipboard stays.
    bool Duplicate();
    // Where the pointer is on the chart, in page pixels; false when it is
    // elsewhere. Ctrl+V pastes there.
    std::function<bool(TPoint& at)> PointerOnChart;
    // A drag on empty space selects boxes (true) or draws a new box.
    void SetPointerTool(bool on);
    // Shows the graph of the selected group box; back to the parent graph,
    // with the group selected.
    bool EnterGroup();
    bool GoUp();
    bool Compute(ComputeWay way);
    // The chart's keys: arrows move the selected boxes, Delete removes them,
    // Enter enters a group, Backspace goes back up, Ctrl+A selects all,
    // Ctrl+C, Ctrl+X, Ctrl+V and Ctrl+D copy, cut, paste and duplicate.
    // True for those keys.
    bool ChartKey(unsigned short key, TShiftState shift);

    // The selected box's properties; each change shows at once.
    bool SetBoxName(const AnsiString& name);
    // Lines separated by CR LF (a memo's) or LF.
    bool SetBoxText(const AnsiString& text);
    bool SetFillColor(TColor color);
    bool SetFontColor(TColor color);
    bool SetShadowColor(TColor color);
    // An empty name keeps the drawing's font face, size 0 its size.
    bool SetBoxFont(const AnsiString& name, int size);
    // One script line, or one "name=value", per line.
    bool SetScript(const AnsiString& lines);
    bool SetVariables(const AnsiString& lines);
    // What is typed next into a box field is a step of undo of its own.
    void EndTyping() { history_.EndMerge(); }

    // Views that every graph shown follows, not only the one on show now.
    void SetGridShow(bool show);
    void SetGridAlign(bool align);
    // Puts the parent graph's preview in the top right corner, its shape
    // kept; call when the component's size changes.
    void PlacePreview();

    // The title, the undo steps or the flags shown changed.
    std::function<void()> OnStateChange;
    // The selected box, its properties or the graph on show changed.
    std::function<void()> OnSelectionChange;

private:
    // No command runs while the mouse is editing the chart.
    bool Idle() const;
    void Started(const AnsiString& fileName);
    void Record(const std::string& mergeKey, const BoxPlace& before, const BoxPlace& after);
    void Restore(const std::string& snapshot, const GrafPlace& graf, const BoxPlace& box);
    void ChartChanged();
    // Removes the boxes of the graph on show as one step of undo.
    bool RemoveBoxes(const std::vector<quorgrafica::clsBox*>& boxes);
    // The graph on show follows the views, and its preview is placed.
    void ShowGraf();
    // The page of the graph on show, as drawing sets it.
    void SetPageOfGraf();
    template <class Change> bool EditBox(const char* field, Change change);
    int Ask(const AnsiString& text, int flags) const;
    // The resolution at which a W x H drawing fits an A4 page.
    static int PageDpi(int width, int height);
    void StateChanged();
    void SelectionChanged();

    TEditorChart& chart_;
    ChartHistory history_;
    AnsiString fileName_;
    // While the editor changes the chart itself, the component's change
    // events are not steps of their own.
    bool applying_ = false;
    // The box the component is about to add.
    quorgrafica::clsBox* newBox_ = nullptr;
};

} // namespace charteditor
