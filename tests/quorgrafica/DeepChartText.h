#pragma once
// The text of a chart file whose groups nest levels deep, one group per
// graph, about 130 bytes a level.

#include <string>

namespace charttest {

inline std::string DeepChartText(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) {
        const std::string n = std::to_string(i);
        text += "{\nclsGraf=L" + n + "\nTitle=\nclsBox.Type=clsBoxGroup\n{\n{\nName=G" + n +
                "\nText=Gruppo " + n + "\nFrame=10,10,200,100\nFillColor=16777215\nGraf=\n";
    }
    for (int i = 0; i < levels; ++i)
        text += "}\n}\n}\n";
    return text;
}

} // namespace charttest
