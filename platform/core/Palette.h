#pragma once
// The component palette: the pages under which a library's components are
// offered to a form designer, and how to create each one.

#include "platform/core/AnsiString.h"

#include <functional>
#include <vector>

class TComponent;

struct TPaletteEntry {
    AnsiString page;
    AnsiString className;
    std::function<TComponent*(TComponent* owner)> create;
};

// Adds the class to the page; registering a class name again replaces its entry.
void RegisterComponent(const AnsiString& page, const AnsiString& className,
                       std::function<TComponent*(TComponent* owner)> create);

// Pages in the order they were first used.
std::vector<AnsiString> PalettePages();
// The entries of one page, in registration order.
std::vector<TPaletteEntry> PaletteComponents(const AnsiString& page);
// The entry of a class, or null.
const TPaletteEntry* FindPaletteEntry(const AnsiString& className);

template <class T> void RegisterComponent(const AnsiString& page, const AnsiString& className) {
    RegisterComponent(page, className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
