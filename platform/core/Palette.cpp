#include "platform/core/Palette.h"

#include <algorithm>
#include <utility>

namespace {

std::vector<TPaletteEntry>& Entries() {
    static std::vector<TPaletteEntry> entries;
    return entries;
}

} // namespace

void RegisterComponent(const AnsiString& page, const AnsiString& className,
                       std::function<TComponent*(TComponent* owner)> create) {
    auto& entries = Entries();
    const auto same = [&](const TPaletteEntry& e) { return e.className == className; };
    entries.erase(std::remove_if(entries.begin(), entries.end(), same), entries.end());
    entries.push_back({page, className, std::move(create)});
}

std::vector<AnsiString> PalettePages() {
    std::vector<AnsiString> pages;
    for (const auto& e : Entries())
        if (std::find(pages.begin(), pages.end(), e.page) == pages.end()) pages.push_back(e.page);
    return pages;
}

std::vector<TPaletteEntry> PaletteComponents(const AnsiString& page) {
    std::vector<TPaletteEntry> result;
    for (const auto& e : Entries())
        if (e.page == page) result.push_back(e);
    return result;
}

const TPaletteEntry* FindPaletteEntry(const AnsiString& className) {
    for (const auto& e : Entries())
        if (e.className == className) return &e;
    return nullptr;
}
