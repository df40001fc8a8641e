// Any sequence of lines reads to some graph, and that graph is a fixed point
// of writing and reading.

#include "ChartHelpers.h"
#include "RandomChartText.h"
#include "quorgrafica/ChartFile.h"

#include <gtest/gtest.h>

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
