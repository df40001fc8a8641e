// Any sequence of lines reads to some graph, and that graph is a fixed point
// of writing and reading.

#include "ChartHelpers.h"
#include "RandomChartText.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/graphics/ImageCanvas.h"
#include "quorgrafica/ChartFile.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace quorgrafica;
using charttest::Lines;
using charttest::SetLines;

namespace {

std::vector<std::string> WriteOut(clsGraf& graf) {
    quorbase::clsConfig lines;
    graf.DataTo(lines);
    return Lines(lines);
}

// Reads the lines, writes the graph, reads that and writes again.
void CheckFixedPoint(const std::vector<std::string>& input) {
    quorbase::clsConfig config;
    SetLines(config, input);
    clsGraf first;
    first.DataFrom(config);
    const std::vector<std::string> written = WriteOut(first);

    quorbase::clsConfig again;
    SetLines(again, written);
    clsGraf second;
    second.DataFrom(again);
    ASSERT_EQ(WriteOut(second), written);
    ASSERT_EQ(second.GetCount(), first.GetCount());
    for (int i = 0; i < first.GetCount(); ++i) {
        ASSERT_STREQ(second.GetValue(i)->TypeName(), first.GetValue(i)->TypeName());
        ASSERT_EQ(second.GetValue(i)->LinksOut.GetCount(), first.GetValue(i)->LinksOut.GetCount());
    }

    // The file form keeps every line as it was.
    quorbase::clsConfig fromFile;
    ChartTextToLines(ChartLinesToText(again), fromFile);
    ASSERT_EQ(Lines(fromFile), written);
}

bool HasInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) return true;
    return false;
}

} // namespace

TEST(TextFormatProperty, RandomLinesReadWithoutFaultAndReachAFixedPoint) {
    RegisterBoxKinds();
    charttest::RandomChartText random(20261209);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        CheckFixedPoint(random.Lines(round % 50 == 49 ? 2000 : 120));
        if (HasFatalFailure()) return;
    }
}

TEST(TextFormatProperty, UnbalancedAndDeepInputs) {
    RegisterBoxKinds();
    std::vector<std::string> opens(5000, "{");
    CheckFixedPoint(opens);
    std::vector<std::string> closes(5000, "}");
    CheckFixedPoint(closes);
    // Group announcements nested without any closing brace.
    std::vector<std::string> groups;
    for (int i = 0; i < 3000; ++i)
        groups.insert(groups.end(), {"clsBox.Type=clsBoxGroup", "{", "Graf="});
    CheckFixedPoint(groups);
    CheckFixedPoint({"clsBox.Type=clsBoxGroup"});
    CheckFixedPoint({"clsBox.Type=clsBoxGroup", "Graf="});
    CheckFixedPoint({"clsBox.Type=clsBoxGroup", "{", "Graf=", "clsBox.Type=clsBoxLine"});
}

// Painting a chart and the chart read back from its own text gives the same
// picture: the text keeps everything that shows.
TEST(TextFormatProperty, RandomChartsPaintAsTheirTextReadsBack) {
    RegisterBoxKinds();
    EnsureGuiApplication();
    charttest::RandomChartText random(7);
    int drawn = 0;
    const auto paint = [](clsGraf& graf) {
        graf.SetPage(120, 90, 0, 0);
        for (int i = 0; i < graf.GetCount(); ++i)
            graf.GetValue(i)->ComputeState = i % 4;
        if (graf.GetCount() > 0) graf.Selected = graf.GetValue(0);
        TImageCanvas canvas(120, 90);
        graf.Draw(&canvas, true, true, true, true);
        return canvas.Image().copy();
    };
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        quorbase::clsConfig lines;
        SetLines(lines, random.Lines(80));
        clsGraf graf;
        graf.DataFrom(lines);
        const QImage original = paint(graf);

        quorbase::clsConfig written;
        graf.DataTo(written);
        quorbase::clsConfig fromFile;
        ChartTextToLines(ChartLinesToText(written), fromFile);
        clsGraf again;
        again.DataFrom(fromFile);
        ASSERT_EQ(again.GetCount(), graf.GetCount());
        ASSERT_TRUE(paint(again) == original) << "the chart read back paints differently";

        if (HasInk(original)) ++drawn;
    }
    // Most random charts have something inside the page; a painting that draws
    // nothing at all would pass the comparison above.
    EXPECT_GE(drawn, 20) << "charts with anything drawn, of 60";
}
