#pragma once
// Random line sequences in and around the chart format, from a seed.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace charttest {

class RandomChartText {
public:
    explicit RandomChartText(std::uint32_t seed) : rng_(seed) {}

    std::vector<std::string> Lines(int maxLines) {
        std::vector<std::string> lines;
        const int count = Below(maxLines + 1);
        for (int i = 0; i < count; ++i)
            lines.push_back(Line());
        return lines;
    }

private:
    int Below(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }

    std::string Name() {
        static const char* names[] = {"A", "a", "B", "Start", "START", "", "x,y", " A", "G"};
        return names[Below(9)];
    }

    std::string Number() {
        static const char* numbers[] = {
            "0",    "-1", "2147483647", "-2147483648", "99999999999999999999", "12pt",
            "  +7", "-",  "x",          "4294967296",  "-99999999999999999999"};
        return Below(3) == 0 ? std::to_string(static_cast<int>(rng_())) : numbers[Below(11)];
    }

    std::string Bytes() {
        std::string s;
        const int n = Below(12);
        for (int i = 0; i < n; ++i)
            s += static_cast<char>(Below(256));
        return s;
    }

    std::string Line() {
        switch (Below(22)) {
        case 0:
        case 1:
            return "{";
        case 2:
        case 3:
            return "}";
        case 4: {
            static const char* kinds[] = {"clsBoxRectangle",
                                          "clsBoxGroup",
                                          "clsBoxLine",
                                          "clsBoxPicture",
                                          "clsBoxNone",
                                          "CLSBOXGROUP",
                                          ""};
            return "clsBox.Type=" + std::string(kinds[Below(7)]);
        }
        case 5:
            return "clsBox.Type=clsBoxGroup";
        case 6:
            return "Graf=";
        case 7:
            return "Name=" + Name();
        case 8:
            return "Link=" + Name();
        case 9:
            return "Frame=" + Number() + "," + Number() + (Below(2) ? "," + Number() : "");
        case 10: {
            static const char* keys[] = {"FontColor",     "FontSize",     "LinkSize",
                                         "LinkLineColor", "LinkSrcColor", "FillColor",
                                         "ShadowWidth",   "ShadowColor"};
            return std::string(keys[Below(8)]) + "=" + Number();
        }
        case 11:
            return "Script=" + Bytes() + "\t" + Bytes() + (Below(2) ? "\t" : "");
        case 12:
            return ":=" + Name() + (Below(2) ? "=" + Bytes() : "");
        case 13:
            return "Text=" + Bytes();
        case 14:
            return "FontName=" + Name();
        case 15:
            return "clsGraf=" + Name();
        case 16:
            return "Type=clsBoxGroup";
        case 17:
            return Bytes();
        case 18:
            return "=";
        case 19:
            return "";
        case 20:
            return ":";
        default:
            return "Title=" + Bytes();
        }
    }

    std::mt19937 rng_;
};

} // namespace charttest
