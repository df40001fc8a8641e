#pragma once
// A flowchart component on a shown form, driven through its widget as the
// user drives it: presses, moves and releases with buttons and modifiers.

#include "ChartHelpers.h"
#include "ImageHelpers.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/gui/Form.h"
#include "quorgrafica/QuorFlowChart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <memory>

namespace charttest {

// Exposes what the tests look at inside, and counts paints.
class TestChart : public quorgrafica::TQuorFlowChart {
public:
    using TQuorFlowChart::TQuorFlowChart;
    using TQuorFlowChart::FAnchor;
    using TQuorFlowChart::FBusy;
    using TQuorFlowChart::FGrabOffset;
    using TQuorFlowChart::FMovePoint;
    using TQuorFlowChart::Selezione;
    int paints = 0;
    std::vector<quorgrafica::clsBox*> selections;

protected:
    void Paint() override {
        ++paints;
        TQuorFlowChart::Paint();
    }
    void BoxSelected(quorgrafica::clsBox* box) override { selections.push_back(box); }
};

class FlowChart : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApplication();
        form = std::make_unique<TForm>();
        form->SetBounds(0, 0, 420, 320);
        chart = new TestChart(form.get());
        chart->SetParent(form.get());
        chart->SetBounds(0, 0, 400, 300);
        form->Show();
        // The first paint sets the page, and with it the grid.
        chart->PaintToImage();
    }

    QWidget* W() { return chart->Widget(); }

    void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mousePress(W(), button, mods, QPoint(x, y));
    }
    // A move with the buttons pressed so far held.
    void Move(int x, int y) { QTest::mouseMove(W(), QPoint(x, y)); }
    void Release(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(W(), button, Qt::NoModifier, QPoint(x, y));
    }
    void Drag(int x1, int y1, int x2, int y2, Qt::MouseButton button = Qt::LeftButton,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Press(x1, y1, button, mods);
        Move((x1 + x2) / 2, (y1 + y2) / 2);
        Move(x2, y2);
        Release(x2, y2, button);
    }
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }
    // Press, release, double click and release, as the system reports them.
    void DoubleClick(int x, int y) {
        Click(x, y);
        QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
        Release(x, y);
    }
    // The pointer passing over with no button down.
    void Hover(int x, int y) {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), W()->mapToGlobal(QPointF(x, y)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(W(), &event);
    }

    quorgrafica::clsBox* Add(const char* kind, const char* name, TRect frame) {
        return AddBox(*chart->CurrentGraf(), kind, name, frame);
    }

    QImage Image() { return chart->PaintToImage(); }
    // The component painted from scratch.
    QImage FullImage() {
        chart->Invalidate();
        return chart->PaintToImage();
    }

    std::unique_ptr<TForm> form;
    TestChart* chart = nullptr;
};

} // namespace charttest
