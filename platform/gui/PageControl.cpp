#include "platform/gui/PageControl.h"

#include "platform/gui/ControlWidget.h"

#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

// Sheets ---------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {}

TTabSheet::~TTabSheet() {
    // Leave the page control while this is still a sheet.
    SetParent(nullptr);
}

void TTabSheet::SetCaption(const AnsiString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (TPageControl* pages = PageControl()) pages->PageCaptionChanged(this);
}

TPageControl* TTabSheet::PageControl() const {
    return dynamic_cast<TPageControl*>(Parent());
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
    SetParent(pageControl);
}

int TTabSheet::PageIndex() const {
    TPageControl* pages = PageControl();
    if (!pages) return -1;
    for (int i = 0; i < pages->PageCount(); ++i)
        if (pages->Pages(i) == this) return i;
    return -1;
}

// Page control ---------------------------------------------------------------

namespace {

class TabWidget : public TControlWidget<QTabWidget> {
public:
    TabWidget(TPageControl* pages, QWidget* parent) : TControlWidget<QTabWidget>(pages, parent) {
        connect(this, &QTabWidget::currentChanged,
                [pages](int index) { ControlEvents::TabChangedByUser(pages, index); });
    }
};

} // namespace

void ControlEvents::TabChangedByUser(TPageControl* pages, int index) {
    Guard([&] { pages->TabChangedByUser(index); });
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 289, 193);
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount()) return nullptr;
    return pages_[static_cast<size_t>(index)];
}

TTabSheet* TPageControl::ActivePage() const {
    return Pages(active_);
}

int TPageControl::ActivePageIndex() const {
    return ActivePage() ? active_ : -1;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) {
        if (page == nullptr) SetActivePageIndex(-1);
        return;
    }
    SetActivePageIndex(static_cast<int>(it - pages_.begin()));
}

void TPageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount()) index = -1;
    active_ = index;
    ShowActivePage();
}

void TPageControl::ShowActivePage() {
    auto* tabs = static_cast<QTabWidget*>(ExistingWidget());
    if (!tabs || active_ < 0 || active_ >= tabs->count()) return;
    const QSignalBlocker block(tabs);
    tabs->setCurrentIndex(active_);
}

void TPageControl::TabChangedByUser(int index) {
    if (index == active_ || index < 0 || index >= PageCount()) return;
    active_ = index;
    if (OnChange) OnChange(this);
}

void TPageControl::PageCaptionChanged(TTabSheet* page) {
    auto* tabs = static_cast<QTabWidget*>(ExistingWidget());
    if (tabs && page->HandleAllocated()) {
        const int at = tabs->indexOf(page->Widget());
        if (at >= 0) tabs->setTabText(at, ToQString(page->Caption()));
    }
}

TRect TPageControl::ClientRect() const {
    // The page area below the tabs, inside a thin border.
    int tabHeight = 24;
    if (auto* tabs = static_cast<QTabWidget*>(const_cast<TPageControl*>(this)->ExistingWidget()))
        tabHeight = tabs->tabBar()->sizeHint().height();
    return Rect(2, std::min(tabHeight + 2, Height()), std::max(2, Width() - 2),
                std::max(std::min(tabHeight + 2, Height()), Height() - 2));
}

void TPageControl::ChildAdded(TControl* child) {
    auto* page = dynamic_cast<TTabSheet*>(child);
    if (!page) return;
    pages_.push_back(page);
    if (active_ < 0) active_ = 0;
    if (!page->HandleAllocated()) {
        const TRect r = ClientRect();
        page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    }
}

void TPageControl::ChildRemoved(TControl* child) {
    auto it = std::find(pages_.begin(), pages_.end(), child);
    if (it == pages_.end()) return;
    const int index = static_cast<int>(it - pages_.begin());
    pages_.erase(it);
    if (index < active_ || active_ >= PageCount()) --active_;
    if (active_ < 0 && PageCount() > 0) active_ = 0;
    ShowActivePage();
}

void TPageControl::Resize() {
    TWinControl::Resize();
    const TRect r = ClientRect();
    for (TTabSheet* page : pages_) {
        if (!page->HandleAllocated()) {
            page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        } else {
            // Qt has placed the pages already; a hidden page hears of it
            // only when shown, so read its geometry now.
            const QRect g = page->ExistingWidget()->geometry();
            page->BoundsFromWidget(g.x(), g.y(), g.width(), g.height());
        }
    }
}

QWidget* TPageControl::CreateWidget(QWidget* parent) {
    return new TabWidget(this, parent);
}

QWidget* TPageControl::ChildParentWidget() {
    return Widget();
}

void TPageControl::ChildWidgetCreated(TControl* child, QWidget* widget) {
    auto* page = dynamic_cast<TTabSheet*>(child);
    auto* tabs = static_cast<QTabWidget*>(ExistingWidget());
    if (!page || !tabs) return;
    const QSignalBlocker block(tabs);
    tabs->insertTab(page->PageIndex(), widget, ToQString(page->Caption()));
    if (active_ >= 0 && active_ < tabs->count()) tabs->setCurrentIndex(active_);
}
