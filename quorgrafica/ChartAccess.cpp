// The flowchart component for the keyboard and for screen readers: walking
// the boxes in reading order, and the accessible view of the chart, whose
// children are the boxes of the graph on show.

#include "quorgrafica/ChartView.h"
#include "quorgrafica/QuorFlowChart.h"

#include "platform/core/Encoding.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace quorgrafica {

namespace {

QString Text(const quorbase::clsString& s) {
    return QString::fromStdU16String(
        Cp1252ToUtf16(std::string_view(s.CStr() ? s.CStr() : "", static_cast<std::size_t>(s.Length()))));
}

TRect Ordered(const TRect& f) {
    return TRect{std::min(f.Left, f.Right), std::min(f.Top, f.Bottom), std::max(f.Left, f.Right),
                 std::max(f.Top, f.Bottom)};
}

// Top to bottom, then left to right; the graph's order between equals.
std::vector<clsBox*> ReadingOrder(const clsGraf& graf) {
    std::vector<clsBox*> boxes;
    for (int i = 0; i < graf.GetCount(); ++i)
        if (clsBox* box = graf.GetValue(i)) boxes.push_back(box);
    std::stable_sort(boxes.begin(), boxes.end(), [](const clsBox* a, const clsBox* b) {
        const TRect fa = Ordered(a->Frame), fb = Ordered(b->Frame);
        return fa.Top != fb.Top ? fa.Top < fb.Top : fa.Left < fb.Left;
    });
    return boxes;
}

class ChartAccessible;

// One box of the graph on show.
class BoxAccessible : public QAccessibleInterface {
public:
    BoxAccessible(TQuorFlowChart* chart, clsBox* box, ChartAccessible* parent)
        : chart_(chart), box_(box), parent_(parent) {}
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation) const override {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return Text(box_->Name);
        if (t == QAccessible::Description || t == QAccessible::Value) return Text(box_->Text);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.selectable = true;
        s.selected = isValid() && chart_->SelectedBox() == box_;
        s.focusable = true;
        s.focused = s.selected;
        return s;
    }
    clsBox* Box() const { return box_; }

private:
    TQuorFlowChart* chart_;
    clsBox* box_;
    ChartAccessible* parent_;
};

// The chart: a list whose items are the boxes of the graph on show, in
// the graph's order.
class ChartAccessible : public QAccessibleWidget {
public:
    ChartAccessible(QWidget* widget, TQuorFlowChart* chart)
        : QAccessibleWidget(widget, QAccessible::List), chart_(chart) {}
    ~ChartAccessible() override {
        for (const auto& [box, id] : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override {
        const clsGraf* graf = chart_->CurrentGraf();
        return graf ? graf->GetCount() : 0;
    }
    QAccessibleInterface* child(int index) const override {
        const clsGraf* graf = chart_->CurrentGraf();
        clsBox* box = graf ? graf->GetValue(index) : nullptr;
        if (!box) return nullptr;
        auto it = ids_.find(box);
        if (it != ids_.end()) {
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(it->second))
                return known;
        }
        auto* made = new BoxAccessible(chart_, box, const_cast<ChartAccessible*>(this));
        ids_[box] = QAccessible::registerAccessibleInterface(made);
        return made;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* box = dynamic_cast<const BoxAccessible*>(child);
        const clsGraf* graf = chart_->CurrentGraf();
        if (!box || !graf) return -1;
        for (int i = 0; i < graf->GetCount(); ++i)
            if (graf->GetValue(i) == box->Box()) return i;
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        const int i = chart_->SelectedBox() ? IndexOf(chart_->SelectedBox()) : -1;
        return i >= 0 ? child(i) : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return QString::fromUtf8("Diagramma");
        return QAccessibleWidget::text(t);
    }
    int IndexOf(const clsBox* box) const {
        const clsGraf* graf = chart_->CurrentGraf();
        for (int i = 0; graf && i < graf->GetCount(); ++i)
            if (graf->GetValue(i) == box) return i;
        return -1;
    }
    TQuorFlowChart* Chart() const { return chart_; }

private:
    TQuorFlowChart* chart_;
    mutable std::unordered_map<const clsBox*, QAccessible::Id> ids_;
};

bool BoxAccessible::isValid() const {
    return parent_->IndexOf(box_) >= 0;
}

QWindow* BoxAccessible::window() const {
    return parent_->window();
}

QAccessibleInterface* BoxAccessible::parent() const {
    return parent_;
}

QRect BoxAccessible::rect() const {
    if (!isValid() || !chart_->HandleAllocated()) return {};
    const TRect f = Ordered(box_->Frame);
    const TPoint a = chart_->PageToWidget(f.Left, f.Top), b = chart_->PageToWidget(f.Right, f.Bottom);
    const QPoint origin = chart_->Widget()->mapToGlobal(QPoint(0, 0));
    return QRect(origin + QPoint(a.x, a.y), origin + QPoint(b.x - 1, b.y - 1));
}

} // namespace

void TQuorFlowChart::SelectNextBox(bool backwards) {
    const std::vector<clsBox*> order = ReadingOrder(*currentGraf_);
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), SelectedBox());
    clsBox* next;
    if (at == order.end())
        next = backwards ? order.back() : order.front();
    else if (backwards)
        next = at == order.begin() ? order.back() : *(at - 1);
    else
        next = at + 1 == order.end() ? order.front() : *(at + 1);
    SetSelectedBox(next);
    // The selection frames, old and new, are repainted.
    TPaintBox::Invalidate();
    if (HandleAllocated() && QAccessible::isActive()) {
        auto* iface = QAccessible::queryAccessibleInterface(Widget());
        if (auto* chart = dynamic_cast<ChartAccessible*>(iface)) {
            QAccessibleEvent event(chart->child(chart->IndexOf(next)), QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void TQuorFlowChart::ExposeToAccessibility(QWidget* widget) {
    // Registered for the widget before anyone asks: the toolkit's own
    // answer for a plain widget would come first otherwise. It goes with
    // the widget.
    if (view_->exposed == widget) return;
    view_->exposed = widget;
    QAccessible::registerAccessibleInterface(new ChartAccessible(widget, this));
}

} // namespace quorgrafica
