#include "platform/graphics/Colors.h"

namespace {

SystemColorResolver g_resolver = nullptr;

// The classic Windows defaults, by system colour index.
TColor DefaultSystemColor(int index) {
    switch (index) {
    case 5:  // window
    case 14: // highlight text
        return clWhite;
    case 8:  // window text
    case 7:  // menu text
    case 18: // button text
        return clBlack;
    case 13: // highlight
        return RGB(0, 120, 215);
    case 15: // button face
    case 4:  // menu
        return RGB(240, 240, 240);
    case 16: // button shadow
        return RGB(160, 160, 160);
    case 20: // button highlight
        return clWhite;
    default:
        return clGray;
    }
}

} // namespace

void SetSystemColorResolver(SystemColorResolver resolver) {
    g_resolver = resolver;
}

TColor ColorToRGB(TColor color) {
    if ((static_cast<std::uint32_t>(color) & 0xFF000000u) == 0xFF000000u) {
        TColor resolved = g_resolver ? g_resolver(color) : DefaultSystemColor(color & 0xFF);
        return resolved & 0xFFFFFF;
    }
    if (color == clNone || color == clDefault) return clBlack;
    return color & 0xFFFFFF;
}

QColor ToQColor(TColor color) {
    TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}
