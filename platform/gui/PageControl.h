#pragma once
// TPageControl with its TTabSheet pages: one page shown at a time, chosen by
// its tab. A sheet belongs to the page control it is parented to.

#include "platform/core/AnsiString.h"
#include "platform/gui/WinControl.h"

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner = nullptr);
    ~TTabSheet() override;
    QUOR_CLASS_NAME(TTabSheet)

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { imageIndex_ = index; }

    // The page control holding the sheet (its parent), or null.
    TPageControl* PageControl() const;
    void SetPageControl(TPageControl* pageControl);
    // Position among the page control's sheets, -1 without one.
    int PageIndex() const;

protected:
    bool GeometryManagedByParent() const override { return PageControl() != nullptr; }

private:
    AnsiString caption_;
    int imageIndex_ = -1;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TPageControl)

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Null outside 0..PageCount()-1.
    TTabSheet* Pages(int index) const;

    TTabSheet* ActivePage() const;
    // A sheet of another page control is ignored.
    void SetActivePage(TTabSheet* page);
    // -1 when there are no pages.
    int ActivePageIndex() const;
    // An index outside the pages leaves no page active.
    void SetActivePageIndex(int index);

    TNotifyEvent OnChange;

    TRect ClientRect() const override;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ChildWidgetCreated(TControl* child, QWidget* widget) override;
    void ChildAdded(TControl* child) override;
    void ChildRemoved(TControl* child) override;
    QWidget* ChildParentWidget() override;
    void Resize() override;

private:
    friend class TTabSheet;
    friend struct ControlEvents;
    void TabChangedByUser(int index);
    void PageCaptionChanged(TTabSheet* page);
    void ShowActivePage();

    std::vector<TTabSheet*> pages_;
    int active_ = -1;
};
