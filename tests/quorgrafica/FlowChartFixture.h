#pragma once
// A flowchart component on a shown form, driven through its widget as the
// user drives it: presses, moves and releases with buttons and modifiers.

#include "ChartHelpers.h"
#include "ChartMouse.h"
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

class FlowChart : public ::testing::Test, protected ChartMouse {
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

    QWidget* MouseTarget() override { return W(); }

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
