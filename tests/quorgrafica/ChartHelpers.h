#pragma once
// Building small charts for the tests.

#include "quorgrafica/Clsgraf.h"

#include <string>
#include <vector>

namespace charttest {

inline quorgrafica::clsBox* AddBox(quorgrafica::clsGraf& graf, const char* kind, const char* name,
                                   TRect frame = TRect{0, 0, 10, 10}) {
    quorgrafica::RegisterBoxKinds();
    quorgrafica::clsBox* box = quorgrafica::NewBox(&graf, kind);
    if (!box) return nullptr;
    box->Name = name;
    box->Frame = frame;
    graf.Add(box->Name, box);
    return box;
}

inline std::string Str(const quorbase::clsString& s) {
    return s.CStr() ? std::string(s.CStr(), static_cast<std::size_t>(s.Length())) : std::string();
}

inline std::vector<std::string> Lines(const quorbase::clsConfig& config) {
    std::vector<std::string> out;
    for (int i = 0; i < config.GetCount(); ++i)
        out.push_back(config.GetItem(i) ? Str(*config.GetItem(i)) : std::string("<null>"));
    return out;
}

inline void SetLines(quorbase::clsConfig& config, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        quorbase::Add(config, quorbase::clsString(line.c_str(), static_cast<int>(line.size())));
}

// Names of the boxes in a list, in order.
inline std::vector<std::string> Names(const quorgrafica::clsBoxList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.GetCount(); ++i)
        out.push_back(list.GetValue(i) ? Str(list.GetValue(i)->Name) : std::string("<null>"));
    return out;
}

} // namespace charttest
