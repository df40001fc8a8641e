// libFuzzer entry: chart file text read, written and read again.

#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorgrafica::RegisterBoxKinds();
    quorbase::clsConfig lines;
    quorgrafica::ChartTextToLines(std::string_view(reinterpret_cast<const char*>(data), size),
                                  lines);
    quorgrafica::clsGraf first;
    first.DataFrom(lines);
    quorbase::clsConfig written;
    first.DataTo(written);
    quorgrafica::clsGraf second;
    second.DataFrom(written);
    quorbase::clsConfig rewritten;
    second.DataTo(rewritten);
    if (quorgrafica::ChartLinesToText(written) != quorgrafica::ChartLinesToText(rewritten))
        std::abort();
    return 0;
}
