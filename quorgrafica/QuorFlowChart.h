#pragma once
// TQuorFlowChart: the flowchart component. A paint box that owns a chart (a
// root graph and the graphs nested in its group boxes), shows one graph of
// the tree at a time (the current graph) and lets the user edit it with the
// mouse: a left drag on empty space draws a new box, a left drag on a box
// moves it or, near its edges, resizes it, a right drag from the selected
// box to another links them (with ConnectBoxes), a double click on a group
// box enters it and one on empty space goes back up.
//
// For an editor built on the component:
// - What tells it that the chart changed: OnAfterNewBox (a box is about to
//   be added: the handler may rename it or refuse it), OnBoxFrameChanged (a
//   box was moved or resized, raised at the release), OnRemoveBox (a box is
//   about to be removed by RemoveBox) and OnChange, raised after every change
//   the component itself makes to the boxes: a box added, a drag's frame, a
//   link made by a connection, RemoveBox, ClearBoxes, DataFrom. Computing
//   (Compute) changes only the boxes' flags and raises none of them.
// - A box's frame changes during a drag, at every move; the box is drawn at
//   its new place once the button is released (a band shows it meanwhile).
//   A release normalises a frame dragged inside out (an edge past the
//   opposite one); a frame left with no width or height goes back to what
//   it was at the press. A line is the exception: its frame is its two end
//   points in drawing order, in any direction; a press near an end drags
//   that end, one on the line moves it, and its frame is kept as dragged,
//   also at zero length.
// - After a mouse edit the component repaints only the part of the page the
//   edit touched (the box and its links before and after, the selection
//   frames, the band). A handler that changes other boxes calls Invalidate;
//   so does code that changes boxes directly, and SetSelectedBox never
//   repaints.
// - DataTo and DataFrom act on the current graph, not the whole chart; the
//   whole chart is RootGraf(). When the current graph is destroyed (its group
//   box removed, the root read anew), the root becomes current.
// - The selection is the current graph's Selected: SelectedBox and
//   SetSelectedBox, and BoxSelected in a subclass.
// - Label and Image point at components the chart does not own; their
//   destruction resets the property to none.

#include "platform/core/AnsiString.h"
#include "platform/gui/PaintBox.h"
#include "quorgrafica/ChartLinks.h"
#include "quorgrafica/Clsgraf.h"

#include <functional>
#include <memory>
#include <vector>

class QWidget;
class TCanvas;
class TImage;
class TLabel;

namespace quorgrafica {

// What a mouse drag does, decided at the press.
enum InputStates {
    qfcNothing,   // nothing is being edited
    qfcCreateBox, // a rectangle is being drawn for a new box
    qfcMoveBox,   // the selected box is being moved
    qfcResizeNW,  // the top-left corner of the selected box is being dragged
    qfcResizeN,   // the top edge
    qfcResizeNE,  // the top-right corner
    qfcResizeE,   // the right edge
    qfcResizeSE,  // the bottom-right corner
    qfcResizeS,   // the bottom edge
    qfcResizeSW,  // the bottom-left corner
    qfcResizeW,   // the left edge
    qfcConnect,   // a link is being drawn from the selected box
    qfcSelectBand // with MultiSelect: a band is being drawn to select boxes
};

// "qfcNothing" ... "qfcConnect"; "" for a value out of range.
const char* InputStateName(InputStates state);

struct ChartViewState;
class ChartIndex;
struct ChartSelection;

using TBoxEvent = std::function<void(TObject* sender, clsBox* box)>;
// cancel is false on entry; the handler sets it to refuse the action.
using TBoxCancelEvent = std::function<void(TObject* sender, clsBox* box, bool& cancel)>;

class TQuorFlowChart : public TPaintBox {
public:
    explicit TQuorFlowChart(TComponent* owner = nullptr);
    ~TQuorFlowChart() override;
    QUOR_CLASS_NAME(TQuorFlowChart)

    // Published properties, in their published order.

    // The grid is drawn; copied to the current graph, repaints.
    bool GridShow() const { return gridShow_; }
    void SetGridShow(bool value);
    // Coordinates snap to the grid; copied to the current graph, no repaint.
    bool GridAlignTo() const { return gridAlignTo_; }
    void SetGridAlignTo(bool value);
    // Shadow colour and width of the boxes CreateBox makes.
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value) { shadowColor_ = value; }
    int ShadowWidth() const { return shadowWidth_; }
    void SetShadowWidth(int value) { shadowWidth_ = value; }
    InputStates InputState() const { return inputState_; }
    TBoxEvent OnBoxClick;
    TBoxEvent OnBoxDblClick;
    // Fill colour of the boxes CreateBox makes.
    TColor BoxFillColor() const { return boxFillColor_; }
    void SetBoxFillColor(TColor value) { boxFillColor_ = value; }
    // Grows by one for every box CreateBox adds; free to set.
    int BoxId() const { return boxId_; }
    void SetBoxId(int value) { boxId_ = value; }
    // Raised by CreateBox before the box is added.
    TBoxCancelEvent OnAfterNewBox;
    // Copied to the current graph, repaints.
    TColor GridColor() const { return gridColor_; }
    void SetGridColor(TColor value);
    // Shows where in the tree the user is (GetLabelCaption).
    TLabel* Label() const { return label_; }
    void SetLabel(TLabel* label);
    // The preview rectangle of the parent graph: PreviewWidth and
    // PreviewHeight are its right and bottom edges, not sizes. Repaint.
    int PreviewTop() const { return previewTop_; }
    void SetPreviewTop(int value);
    int PreviewLeft() const { return previewLeft_; }
    void SetPreviewLeft(int value);
    int PreviewWidth() const { return previewWidth_; }
    void SetPreviewWidth(int value);
    int PreviewHeight() const { return previewHeight_; }
    void SetPreviewHeight(int value);
    // Never raised by the component.
    TNotifyEvent OnBoxRegister;
    // Kind name of the boxes CreateBox makes.
    const AnsiString& BoxStyle() const { return boxStyle_; }
    void SetBoxStyle(const AnsiString& value) { boxStyle_ = value; }
    // A release commits nothing: no new box, no link, no frame event.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    // Raised by RemoveBox before the box goes.
    TBoxCancelEvent OnRemoveBox;
    // Stored only; repaints.
    bool GridChar() const { return gridChar_; }
    void SetGridChar(bool value);
    // Width of the bands along a box's edges that resize it.
    int ResizeBorderWidth() const { return resizeBorderWidth_; }
    void SetResizeBorderWidth(int value) { resizeBorderWidth_ = value; }
    // Raised at the release that ends a move or a resize.
    TBoxEvent OnBoxFrameChanged;
    // Background picture, stretched into ImageLeft..ImageBottom; setting it
    // draws at once.
    TImage* Image() const { return image_; }
    void SetImage(TImage* image);
    // What boxes show; each repaints.
    bool ShowBoxName() const { return showBoxName_; }
    void SetShowBoxName(bool value);
    bool ShowBoxText() const { return showBoxText_; }
    void SetShowBoxText(bool value);
    bool DrawFlags() const { return drawFlags_; }
    void SetDrawFlags(bool value);
    // Hovering over a box selects it.
    bool SelectOnMouseMove() const { return selectOnMouseMove_; }
    void SetSelectOnMouseMove(bool value) { selectOnMouseMove_ = value; }
    // A right drag links the selected box to the one released on.
    bool ConnectBoxes() const { return connectBoxes_; }
    void SetConnectBoxes(bool value) { connectBoxes_ = value; }
    // The background picture's rectangle; each repaints.
    int ImageLeft() const { return imageLeft_; }
    void SetImageLeft(int value);
    int ImageRight() const { return imageRight_; }
    void SetImageRight(int value);
    int ImageTop() const { return imageTop_; }
    void SetImageTop(int value);
    int ImageBottom() const { return imageBottom_; }
    void SetImageBottom(int value);
    // Character columns and rows of the page; 0 or less: width / 10,
    // height / 10. Each repaints.
    int GridHorizontalChars() const { return gridHorizontalChars_; }
    void SetGridHorizontalChars(int value);
    int GridVerticalChars() const { return gridVerticalChars_; }
    void SetGridVerticalChars(int value);

    // Beyond the published ones: raised after every change the component
    // makes to the boxes (see the top of this file).
    TNotifyEvent OnChange;

    // Scrolling and zoom, off unless turned on (ChartView.cpp). With the
    // view on, the widget shows a part of the page through scroll bars, at
    // ZoomPercent: the wheel scrolls (with Shift across, with Ctrl it zooms
    // about the pointer), a drag near an edge scrolls, and the mouse works
    // in page coordinates, which OnMouseDown/Move/Up then receive too.
    // Painting and hit tests go through a spatial index; the scrollable
    // extent follows the boxes. Drawing on any canvas but the component's
    // own (export, print) is never scrolled nor zoomed.
    bool ViewEnabled() const;
    void SetViewEnabled(bool value);
    // 10 to 400; always 100 with the view off.
    int ZoomPercent() const;
    double Zoom() const;
    // The zoom becomes percent (within 10 to 400); the page point under the
    // widget point (x, y) stays where it is.
    void SetZoomPercent(int percent, int x, int y);
    void SetZoomPercent(int percent);
    // The next step up or down (about the middle of the view), 100%, and
    // the whole graph in view.
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    void ZoomToFit();
    // The page point at the top-left corner of the view.
    TPoint ScrollPosition() const;
    void ScrollTo(int pageX, int pageY);
    // By widget pixels.
    void ScrollBy(int dx, int dy);
    // The page area the scroll bars reach.
    TRect ScrollExtent() const;
    // The size of the view in widget pixels (the widget less the bars).
    int ViewWidth() const;
    int ViewHeight() const;
    TPoint WidgetToPage(int x, int y) const;
    TPoint PageToWidget(int x, int y) const;
    // Page Up and Page Down (with Shift: across); true when taken.
    bool ViewKey(unsigned short key, TShiftState shift);
    // A wheel turn of delta eighths of a degree at widget point (x, y);
    // true when taken.
    bool ViewWheel(int delta, TShiftState shift, int x, int y);
    // The view has scrolled or zoomed.
    TNotifyEvent OnViewChange;
    // With the view on (ChartAccess.cpp): the next box in reading order (top
    // to bottom, then left to right) becomes selected, or the one before;
    // round at the ends. Accessibility tools see the chart as a list whose
    // items are the boxes of the graph on show: name, text, place on the
    // screen and selection.
    void SelectNextBox(bool backwards);

    // Beyond the published ones, off by default: several boxes selected at
    // once, links selected, the selected boxes moved together, with guides
    // (QuorFlowChartSelection.cpp). With it, Shift+click adds or takes away
    // a box, a press on a selected box moves every selected box, a click on
    // a link selects it, and with PointerTool a drag on empty space selects
    // the boxes wholly inside its band instead of drawing a box (Alt still
    // draws one).
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    bool PointerTool() const { return pointerTool_; }
    void SetPointerTool(bool value) { pointerTool_ = value; }
    // The selected boxes of the current graph in graph order: none when no
    // box is SelectedBox, which is always one of them.
    std::vector<clsBox*> SelectedBoxes() const;
    bool IsBoxSelected(const clsBox* box) const;
    // Selects the boxes of the current graph among boxes; primary (or, when
    // it is not among them, the first) becomes SelectedBox. Repaints.
    void SelectBoxes(const std::vector<clsBox*>& boxes, clsBox* primary = nullptr);
    void SelectAll();
    // The selected link, drawn highlighted; selecting one clears the boxes'
    // selection. Empty when none, or when its boxes are no longer linked.
    LinkRef SelectedLink() const;
    void SelectLink(const LinkRef& link);
    // Raised when the selected boxes or the selected link change.
    TNotifyEvent OnSelectionChange;
    // Where the pointer was at the last mouse event, in page pixels.
    TPoint LastPointer() const { return lastPointer_; }

    // The chart.
    clsGraf* RootGraf() const { return rootGraf_; }
    clsGraf* CurrentGraf() const { return currentGraf_; }
    // Shows graf, the root or a graph nested below it; any other is ignored.
    // Refreshes the label and repaints.
    void SetCurrentGraf(clsGraf* graf);
    // One level up (to the root when the graph has no recorded parent).
    void PreviousGraf();
    // "Main : " followed by the names of the group boxes down to the current
    // graph, each followed by " : ".
    AnsiString GetLabelCaption() const;
    void SetLabelCaption();

    // Selection: the current graph's Selected.
    clsBox* SelectedBox() const;
    // Selects box (or none) and calls BoxSelected when it changes; no repaint.
    void SetSelectedBox(clsBox* box);

    // Raises OnBoxClick for the selected box.
    void Click() override;
    // Enters the selected group box and raises OnBoxDblClick; with no box
    // selected goes back up. Refreshes the label and repaints.
    void DblClick() override;

    // Draws the current graph on canvas (the component's, a bitmap's, a
    // PDF's): background picture, graph, and the parent preview, which
    // always goes to the component's own canvas. Does nothing while a
    // drawing or a box-creating move runs.
    void DrawOn(TCanvas* canvas);
    // DrawOn with the component's own canvas.
    void RePaint();

    // The part of the selected box the point is on (a resize band or the
    // inside), or the current state when the point is outside it.
    InputStates CheckBoxMargin(int x, int y);
    // A box of kind BoxStyle over rect (in characters: columns and rows) in
    // the current graph, raising OnAfterNewBox; null when the kind is not
    // registered, the rectangle is empty or the handler refuses it.
    clsBox* CreateBox(const quorbase::clsString& name, const TRect& rect, bool inChars);

    // Operations on the current graph.
    clsBox* GetBox(const quorbase::clsString& name);
    // Through the spatial index when the view is on; the same answer.
    clsBox* FindBoxAt(int x, int y);
    // Removes the selected box, unless OnRemoveBox refuses; repaints.
    void RemoveBox();
    void ClearBoxes();
    bool Compute(const quorbase::clsString& name, bool backwards, bool reset);
    int GetScripts(const quorbase::clsString& kindName,
                   quorbase::clsCollection<quorbase::clsStrings>& scripts);
    int GetNames(const quorbase::clsString& kindName, quorbase::clsCStrings& list);
    void DataTo(quorbase::clsConfig& lines);
    void DataFrom(const quorbase::clsConfig& lines);
    int X2Chars(int x) const;
    int Y2Chars(int y) const;
    int Chars2X(int column) const;
    int Chars2Y(int row) const;
    void AllineaXY(int& x, int& y) const;
    void SetUnlockAll(bool value);
    bool GetUnlockAll() const;
    int GetBoxId() const { return boxId_; }

    // A change made behind the component's back: the index is built anew.
    void Invalidate() override;

protected:
    // Called on every change of the selection through SetSelectedBox.
    virtual void BoxSelected(clsBox* box);
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;
    // The editing of several boxes: true when it has handled the event.
    bool SelectionMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    bool SelectionMouseMove(TShiftState shift, int x, int y);
    bool SelectionMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // Over the painted graph: the other selected boxes, the selected link,
    // the guides and the selection band.
    void PaintSelection();
    void SelectionChanged();
    void DropStaleMove();
    // The link under page point (x, y), through the spatial index when the
    // view is on; the boxes the guides and the band look at, likewise.
    LinkRef LinkAt(int x, int y);
    std::vector<clsBox*> BoxesNear(const TRect& pageArea);
    // Draws the band from FAnchor to FMovePoint inverted on the component's
    // canvas; drawing it again with the same corners takes it away.
    void Selezione();

    bool FBusy = false;
    TPoint FAnchor{0, 0};
    TPoint FMovePoint{0, 0};
    TPoint FGrabOffset{0, 0};

private:
    void Show(clsGraf* graf);
    void Changed();
    void SetRepainting(int& field, int value);
    void SetRepainting(bool& field, bool value);
    void DrawPreview(TCanvas* reference);
    // The boxes of the current graph whose painting an edit changes, and
    // the repaint of them once the edit is done.
    int FontPixelsOfGraf() const;
    TRect AreaOf(clsBox* box, int fontPixels) const;
    void AddDamage(const TRect& area);
    void AddBoxDamage(clsBox* box);
    void RepaintEdit();
    // The box a left press at (x, y) selects: an end of the selected line,
    // else the topmost box there.
    clsBox* PressedBox(int x, int y);
    // The view (ChartView.cpp): widget to page coordinates at the entry of
    // the mouse handlers, scrolling during a drag near an edge, a box moved
    // in the index, page areas to widget areas, and painting through it.
    void ViewToPage(int& x, int& y) const;
    void ViewAutoScroll(int x, int y);
    void ViewBoxMoved(clsBox* box);
    // What FontPixelsOfGraf gave when the index was built; 0 without one.
    int ViewFontPixels() const;
    void ViewDragEnded(clsBox* box);
    TRect ViewArea(const TRect& pageArea) const;
    void ViewDraw(TCanvas* canvas);
    // The page area in view.
    TRect ViewPageArea() const;
    // free: the origin as given, not held within the extent.
    void ViewChanged(double originX, double originY, double zoom, bool free = false);
    void ViewClamp(double& originX, double& originY, double zoom) const;
    void ViewPrepare();
    void ViewSetPage();
    ChartIndex* ViewIndex();
    void SyncBars();
    void ExposeToAccessibility(QWidget* widget);
    // Normalises the frame a drag leaves; whether OnBoxFrameChanged is due.
    bool FinishFrame(clsBox* box, bool bandPositive);

    clsGraf* rootGraf_ = nullptr;
    clsGraf* currentGraf_ = nullptr;
    InputStates inputState_ = qfcNothing;

    bool gridShow_ = false;
    bool gridAlignTo_ = true;
    TColor shadowColor_ = 0xC0C0C0;
    int shadowWidth_ = 4;
    TColor boxFillColor_ = 0xFFFF00;
    int boxId_ = 0;
    TColor gridColor_ = 0xC0C0C0;
    TLabel* label_ = nullptr;
    int previewTop_ = 0;
    int previewLeft_ = 0;
    int previewWidth_ = 0;
    int previewHeight_ = 0;
    AnsiString boxStyle_ = "clsBoxRectangle";
    bool readOnly_ = false;
    bool gridChar_ = false;
    int resizeBorderWidth_ = 6;
    TImage* image_ = nullptr;
    bool showBoxName_ = false;
    bool showBoxText_ = false;
    bool drawFlags_ = false;
    bool selectOnMouseMove_ = false;
    bool connectBoxes_ = false;
    int imageLeft_ = 0;
    int imageRight_ = 0;
    int imageTop_ = 0;
    int imageBottom_ = 0;
    int gridHorizontalChars_ = 0;
    int gridVerticalChars_ = 0;

    // Where the selection frame was last painted, and what the edit under
    // way has touched (empty rectangles when nothing).
    TRect paintedSelection_{};
    TRect damage_{};
    // The box a move or resize started on, and its frame then.
    clsBox* pressBox_ = nullptr;
    TRect pressFrame_{};
    std::unique_ptr<ChartViewState> view_;

    bool multiSelect_ = false;
    bool pointerTool_ = false;
    TPoint lastPointer_{0, 0};
    std::unique_ptr<ChartSelection> selection_;
};

// Puts TQuorFlowChart on the component palette, page "QuorGrafica".
void Register();

} // namespace quorgrafica
