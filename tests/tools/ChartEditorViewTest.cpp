// The chart editor's view of a chart larger than its window: scrolling,
// zoom, the status line, and output that does not depend on either.

#include "EditorFixture.h"

#include "platform/gui/Label.h"
#include "quorgrafica/ChartLinks.h"

#include <QAccessible>
#include <QCursor>
#include <QScrollBar>
#include <QWheelEvent>

namespace editortest {
namespace {

// The box of the graph on show reaching furthest down, then right.
clsBox* LastBox(clsGraf& graf) {
    clsBox* last = nullptr;
    for (int i = 0; i < graf.GetCount(); ++i) {
        clsBox* box = graf.GetValue(i);
        if (dynamic_cast<quorgrafica::clsBoxLine*>(box)) continue;
        if (!last || box->Frame.Bottom > last->Frame.Bottom ||
            (box->Frame.Bottom == last->Frame.Bottom && box->Frame.Right > last->Frame.Right))
            last = box;
    }
    return last;
}

std::string Status(charteditor::TfrmChartEditor& form) {
    const AnsiString caption = form.StatusLabel->Caption();
    return std::string(caption.c_str(), static_cast<std::size_t>(caption.Length()));
}

TEST_F(Editor, ASmallWindowReachesTheLastBoxByScrolling) {
    form->SetBounds(0, 0, 640, 480);
    OpenExample();
    clsBox* last = LastBox(shown());
    ASSERT_NE(last, nullptr);
    // Out of reach without scrolling.
    ASSERT_GT(last->Frame.Bottom, chart().ViewHeight());
    QScrollBar* down = nullptr;
    for (QScrollBar* bar : ChartWidget()->findChildren<QScrollBar*>())
        if (bar->orientation() == Qt::Vertical) down = bar;
    ASSERT_NE(down, nullptr);
    EXPECT_GT(down->maximum(), 0);

    for (int i = 0; i < 10 && chart().PageToWidget(0, last->Frame.Bottom).y > chart().ViewHeight(); ++i)
        Key(Qt::Key_PageDown);
    const TPoint middle = chart().PageToWidget((last->Frame.Left + last->Frame.Right) / 2,
                                               (last->Frame.Top + last->Frame.Bottom) / 2);
    ASSERT_GE(middle.y, 0);
    ASSERT_LT(middle.y, chart().ViewHeight());
    EXPECT_GT(chart().ScrollPosition().y, 0);
    EXPECT_EQ(down->value(), chart().ScrollPosition().y);
    Click(middle.x, middle.y);
    EXPECT_EQ(chart().SelectedBox(), last);
    // Dragged by one grid cell where it now shows, it moves on the page.
    const TRect before = last->Frame;
    Press(middle.x, middle.y);
    Move(middle.x + 10, middle.y);
    Move(middle.x + 20, middle.y);
    Release(middle.x + 20, middle.y);
    EXPECT_EQ(last->Frame.Top, shown().AlignY(before.Top));
    EXPECT_EQ(last->Frame.Left, shown().AlignX(before.Left + 20));
    Key(Qt::Key_PageUp);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(chart().ScrollPosition().y, 0);
}

TEST_F(Editor, ZoomCommandsShowInTheStatusLineAndLeaveTheOutputAlone) {
    OpenExample();
    const std::string saved = Snapshot();
    ASSERT_TRUE(editor().ExportTo(AnsiString(dir / "prima.png")));
    EXPECT_NE(Status(*form).find("Zoom 100%"), std::string::npos);

    form->actZoomIn->trigger();
    EXPECT_EQ(chart().ZoomPercent(), 110);
    EXPECT_NE(Status(*form).find("Zoom 110%"), std::string::npos);
    form->actZoomOut->trigger();
    form->actZoomOut->trigger();
    EXPECT_EQ(chart().ZoomPercent(), 90);
    // Ctrl+wheel over the chart, about the pointer.
    const TPoint under = chart().WidgetToPage(200, 150);
    QWheelEvent wheel(QPointF(200, 150), ChartWidget()->mapToGlobal(QPointF(200, 150)), QPoint(),
                      QPoint(0, 240), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(ChartWidget(), &wheel);
    EXPECT_EQ(chart().ZoomPercent(), 110);
    EXPECT_NEAR(chart().WidgetToPage(200, 150).x, under.x, 1);
    EXPECT_NEAR(chart().WidgetToPage(200, 150).y, under.y, 1);
    EXPECT_NE(Status(*form).find("Zoom 110%"), std::string::npos);

    form->actZoomFit->trigger();
    for (int i = 0; i < shown().GetCount(); ++i) {
        const TRect& f = shown().GetValue(i)->Frame;
        const TPoint a = chart().PageToWidget(std::min(f.Left, f.Right), std::min(f.Top, f.Bottom));
        const TPoint b = chart().PageToWidget(std::max(f.Left, f.Right), std::max(f.Top, f.Bottom));
        EXPECT_GE(a.x, 0);
        EXPECT_GE(a.y, 0);
        EXPECT_LE(b.x, chart().ViewWidth());
        EXPECT_LE(b.y, chart().ViewHeight());
    }
    chart().ScrollBy(37, 23);
    Image();
    // Saved text and exported picture are those of 100% unscrolled.
    ASSERT_TRUE(editor().ExportTo(AnsiString(dir / "dopo.png")));
    EXPECT_EQ(QImage(QString::fromStdString(dir / "dopo.png")),
              QImage(QString::fromStdString(dir / "prima.png")));
    EXPECT_EQ(Snapshot(), saved);
    form->actZoom100->trigger();
    EXPECT_EQ(chart().ZoomPercent(), 100);
    EXPECT_NE(Status(*form).find("Zoom 100%"), std::string::npos);
}

} // namespace
} // namespace editortest

namespace editortest {
namespace {

TEST_F(Editor, ZoomedAndScrolledTheLinkClickAndThePasteLandOnThePage) {
    OpenExample();
    clsBox* inizio = Box("Inizio");
    clsBox* movimenti = Box("Movimenti");
    ASSERT_TRUE(inizio && movimenti);
    chart().SetZoomPercent(200, 0, 0);
    chart().ScrollTo(inizio->Frame.Left - 40, inizio->Frame.Top - 40);
    chart().PaintToImage();
    ASSERT_EQ(chart().ZoomPercent(), 200);
    ASSERT_GT(chart().ScrollPosition().x + chart().ScrollPosition().y, 0);
    const auto shownAt = [this](int x, int y) {
        const TPoint p = chart().PageToWidget(x, y);
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x < chart().ViewWidth() && p.y < chart().ViewHeight())
            << x << "," << y;
        return p;
    };

    // The link, under the pointer where the view shows it.
    const TRect line = quorgrafica::LinkLine(shown(), *inizio, *movimenti);
    const TPoint middle = shownAt((line.Left + line.Right) / 2, (line.Top + line.Bottom) / 2);
    Hover(middle.x, middle.y);
    EXPECT_EQ(chart().Cursor(), crHandPoint);
    Click(middle.x, middle.y);
    EXPECT_EQ(chart().SelectedLink(), (quorgrafica::LinkRef{inizio, movimenti}));
    EXPECT_EQ(QColor(Image().pixel(middle.x, middle.y)), QColor(0xFF, 0xA5, 0x00));

    // Copied and pasted with the pointer over a page point.
    const TPoint box = shownAt(inizio->Frame.Left + 10, inizio->Frame.Top + 10);
    Click(box.x, box.y);
    ASSERT_EQ(chart().SelectedBox(), inizio);
    Key(Qt::Key_C, Qt::ControlModifier);
    const TPoint target{inizio->Frame.Left + 80, inizio->Frame.Top + 60};
    const TPoint at = shownAt(target.x, target.y);
    QCursor::setPos(ChartWidget()->mapToGlobal(QPoint(at.x, at.y)));
    Hover(at.x, at.y);
    EXPECT_EQ(chart().LastPointer(), target);
    const int count = shown().GetCount();
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(shown().GetCount(), count + 1);
    clsBox* pasted = chart().SelectedBox();
    ASSERT_NE(pasted, inizio);
    EXPECT_EQ(pasted->Frame.Left, shown().AlignX(target.x));
    EXPECT_EQ(pasted->Frame.Top, shown().AlignY(target.y));
    EXPECT_EQ(pasted->Frame.Right - pasted->Frame.Left, inizio->Frame.Right - inizio->Frame.Left);
    // Where the pointer clicks it now.
    const TPoint onPasted = shownAt(pasted->Frame.Left + 5, pasted->Frame.Top + 5);
    Click(box.x, box.y);
    Click(onPasted.x, onPasted.y);
    EXPECT_EQ(chart().SelectedBox(), pasted);
}

TEST_F(Editor, TabWalksTheBoxesInReadingOrderAndScreenReadersSeeThem) {
    OpenExample();
    // Top to bottom, then left to right.
    std::vector<clsBox*> order;
    for (int i = 0; i < shown().GetCount(); ++i)
        order.push_back(shown().GetValue(i));
    std::stable_sort(order.begin(), order.end(), [](const clsBox* a, const clsBox* b) {
        const int ta = std::min(a->Frame.Top, a->Frame.Bottom), tb = std::min(b->Frame.Top, b->Frame.Bottom);
        const int la = std::min(a->Frame.Left, a->Frame.Right), lb = std::min(b->Frame.Left, b->Frame.Right);
        return ta != tb ? ta < tb : la < lb;
    });
    ASSERT_GE(order.size(), 3u);
    chart().SetSelectedBox(nullptr);
    for (std::size_t i = 0; i < order.size(); ++i) {
        Key(Qt::Key_Tab);
        EXPECT_EQ(chart().SelectedBox(), order[i]) << i;
    }
    // Round at the end, and back with Shift+Tab.
    Key(Qt::Key_Tab);
    EXPECT_EQ(chart().SelectedBox(), order[0]);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(chart().SelectedBox(), order.back());
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(chart().SelectedBox(), order[order.size() - 2]);

    // The accessible chart: a list of the boxes with their names and texts.
    clsBox* named = order[0];
    named->Text = "Perch\xe9 s\xec";
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(ChartWidget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->role(), QAccessible::List);
    ASSERT_EQ(view->childCount(), shown().GetCount());
    for (int i = 0; i < view->childCount(); ++i) {
        QAccessibleInterface* item = view->child(i);
        ASSERT_NE(item, nullptr);
        clsBox* box = shown().GetValue(i);
        EXPECT_EQ(item->role(), QAccessible::ListItem);
        EXPECT_EQ(item->text(QAccessible::Name).toStdString(), Str(box->Name));
        EXPECT_EQ(item->state().selected, box == chart().SelectedBox()) << i;
        EXPECT_EQ(item->parent(), view);
        EXPECT_EQ(view->indexOfChild(item), i);
        const TPoint at = chart().PageToWidget(box->Frame.Left, box->Frame.Top);
        EXPECT_EQ(item->rect().topLeft(), ChartWidget()->mapToGlobal(QPoint(at.x, at.y)));
    }
    auto position = [&](const clsBox* box) {
        for (int i = 0; i < shown().GetCount(); ++i)
            if (shown().GetValue(i) == box) return i;
        return -1;
    };
    EXPECT_EQ(view->child(position(named))->text(QAccessible::Description),
              QString::fromUtf8("Perché sì"));
    EXPECT_EQ(view->focusChild(), view->child(position(chart().SelectedBox())));

    // Inside a group, its boxes.
    clsBox* group = nullptr;
    for (clsBox* box : order)
        if (auto* g = dynamic_cast<quorgrafica::clsBoxGroup*>(box); g && g->Graf) group = box;
    ASSERT_NE(group, nullptr);
    chart().SetSelectedBox(group);
    Key(Qt::Key_Return);
    ASSERT_NE(&shown(), chart().RootGraf());
    EXPECT_EQ(view->childCount(), shown().GetCount());
    EXPECT_EQ(view->child(0)->text(QAccessible::Name).toStdString(), Str(shown().GetValue(0)->Name));
}

} // namespace
} // namespace editortest
