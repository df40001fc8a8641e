#pragma once
// TControl: the state every visible control shares (position, size,
// alignment, visibility, colour, font, cursor) and its mouse hooks. The state
// lives here so that layouts and painting can be tested without a display; a
// Qt widget, created on first need, renders the state and feeds user input back.

#include "platform/core/Component.h"
#include "platform/core/Types.h"
#include "platform/gui/ControlTypes.h"

#include <memory>

class QWidget;
class TFont;
class TPopupMenu;
class TWinControl;
struct ControlEvents;
struct DragAccess;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner = nullptr);
    ~TControl() override;
    QUOR_CLASS_NAME(TControl)

    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Rect(left_, top_, left_ + width_, top_ + height_); }
    // The area children and painting use, in the control's own coordinates.
    virtual TRect ClientRect() const { return Rect(0, 0, width_, height_); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // Changes to the font through this pointer reach the widget.
    TFont* Font() const { return font_.get(); }
    // While true (the default) the control uses its parent's font and
    // follows its changes; changing the control's own font clears it.
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    // Schedule a repaint; Repaint paints at once when a widget exists.
    virtual void Invalidate();
    void Repaint();
    void Update();

    // The widget showing the control, created (with its parent's) on first call.
    QWidget* Widget();
    bool HandleAllocated() const { return widget_ != nullptr; }

    // Presses the control as a click would: the OnClick handler runs and its
    // exceptions reach the caller.
    virtual void Click();

    // Shown at the mouse on a right click when its AutoPopup is on; not owned.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    // Drag and drop within the control (DragDrop.cpp). With dmAutomatic a
    // drag starts when the mouse moves a few pixels with the left button down.
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode mode) { dragMode_ = mode; }
    // The cursor over a place that accepts the drop.
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor cursor) { dragCursor_ = cursor; }
    // Starts a drag at once, or once the mouse has moved threshold pixels
    // (-1: the platform's threshold).
    void BeginDrag(bool immediate, int threshold = -1);
    // Ends the drag in progress, dropping where the mouse is when drop is
    // true and the place accepts it.
    void EndDrag(bool drop);
    bool Dragging() const;
    // A drop on the control: raises OnDragDrop.
    virtual void DragDrop(TObject* source, int x, int y);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

protected:
    // Builds the widget; the base makes a plain one that reports input.
    virtual QWidget* CreateWidget(QWidget* parent);
    // Pushes the whole state to a freshly created widget; overrides push
    // their own properties and call the inherited one.
    virtual void InitWidget(QWidget* widget);
    // Drops the widget (and, for containers, the children's first).
    virtual void DestroyWidget();

    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    // Whether a drop at (x, y) would be taken: with an OnDragOver handler
    // accept starts true and the handler decides, else it stays false.
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    // A drag is starting: raises OnStartDrag, which may supply a drag object.
    virtual void DoStartDrag(TDragObject*& dragObject);
    virtual void DoEndDrag(TObject* target, int x, int y);
    virtual void FontChanged();
    virtual void ColorChanged();
    // Whether a left press released over the control counts as a click.
    virtual bool ClicksOnRelease() const { return true; }
    // A widget whose geometry its parent widget decides (a page of a tab
    // widget) is never moved by SetBounds.
    virtual bool GeometryManagedByParent() const { return false; }

    // Geometry the widget reports (the user resized a window, a layout of
    // Qt's placed a page): stored without being pushed back.
    void BoundsFromWidget(int left, int top, int width, int height);
    QWidget* ExistingWidget() const { return widget_; }

private:
    friend class TWinControl;
    friend class TPageControl;
    friend struct ControlEvents;
    friend class TPopupMenu;
    friend struct DragAccess;
    void ApplyGeometry();
    void RequestRealign();
    void FontObjectChanged();
    void AdoptParentFont();
    void CancelDrag();

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool adoptingFont_ = false;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    TDragMode dragMode_ = dmManual;
    TCursor dragCursor_ = crDrag;
    QWidget* widget_ = nullptr;
};
