// Writing and reading graphs and boxes as configuration lines.

#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/TextLines.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace quorgrafica {

using quorbase::clsConfig;
using quorbase::clsString;

namespace {

void AddLine(clsConfig& lines, const char* key, const clsString& value) {
    quorbase::Add(lines, clsString(key, value));
}

void AddLine(clsConfig& lines, const char* key, int value) {
    AddLine(lines, key, clsString(value));
}

} // namespace

void clsBox::DataTo(clsConfig& lines) {
    AddLine(lines, "Name=", Name);
    AddLine(lines, "Text=", Text);
    AddLine(lines, "Type=", clsString(TypeName()));
    clsString frame(Frame.Left);
    for (int edge : {Frame.Top, Frame.Right, Frame.Bottom})
        frame.Append(",").Append(clsString(edge));
    AddLine(lines, "Frame=", frame);
    AddLine(lines, "FontColor=", FontColor);
    AddLine(lines, "FontName=", FontName);
    AddLine(lines, "FontSize=", FontSize);
    AddLine(lines, "LinkSize=", LinkSize);
    AddLine(lines, "LinkLineColor=", LinkLineColor);
    AddLine(lines, "LinkSrcColor=", LinkSrcColor);
    AddLine(lines, "FillColor=", FillColor);
    AddLine(lines, "ShadowWidth=", ShadowWidth);
    AddLine(lines, "ShadowColor=", ShadowColor);
    clsString script = Script.JoinValues(clsString("\t"));
    // Splitting drops one empty piece after a final tab: an extra tab keeps
    // a script that ends with an empty line whole.
    const int last = Script.GetCount() - 1;
    if (last >= 0 && Script.GetValueText(last).Length() == 0) script.Append("\t");
    AddLine(lines, "Script=", script);
    for (int i = 0; i < LinksOut.GetCount(); ++i) {
        if (const clsBox* target = LinksOut.GetValue(i)) AddLine(lines, "Link=", target->Name);
    }
    for (int i = 0; i < Variables.GetCount(); ++i) {
        const auto* node = Variables.GetNode(i);
        if (!node) continue;
        clsString line(":=", node->GetKey());
        line.Append("=").Append(Variables.GetValueText(i));
        quorbase::Add(lines, line);
    }
}

void clsBox::DataFrom(const clsConfig& block) {
    clsString key;
    clsString value;
    for (int i = 0; i < block.GetCount(); ++i) {
        const clsString* line = block.GetItem(i);
        if (!line) continue;
        detail::SplitKeyValue(*line, key, value);
        if (key.Equals("{") || key.Equals("}") || key.Equals("Type")) continue;
        if (key.Equals("Name")) {
            Name = value;
        } else if (key.Equals("Text")) {
            Text = value;
        } else if (key.Equals(":")) {
            clsString name;
            clsString entry;
            detail::SplitKeyValue(value, name, entry);
            Variables.AddPair(name, entry);
        } else if (key.Equals("Frame")) {
            int position = 0;
            Frame.Left = detail::ReadNumber(value.Token(',', position));
            Frame.Top = detail::ReadNumber(value.Token(',', position));
            Frame.Right = detail::ReadNumber(value.Token(',', position));
            Frame.Bottom = detail::ReadNumber(value.Token(',', position));
        } else if (key.Equals("FontColor")) {
            FontColor = detail::ReadNumber(value);
        } else if (key.Equals("FontSize")) {
            FontSize = detail::ReadNumber(value);
        } else if (key.Equals("LinkSize")) {
            LinkSize = detail::ReadNumber(value);
        } else if (key.Equals("LinkLineColor")) {
            LinkLineColor = detail::ReadNumber(value);
        } else if (key.Equals("LinkSrcColor")) {
            LinkSrcColor = detail::ReadNumber(value);
        } else if (key.Equals("FillColor")) {
            FillColor = detail::ReadNumber(value);
        } else if (key.Equals("ShadowWidth")) {
            ShadowWidth = detail::ReadNumber(value);
        } else if (key.Equals("ShadowColor")) {
            ShadowColor = detail::ReadNumber(value);
        } else if (key.Equals("FontName")) {
            FontName = value;
        } else if (key.Equals("Link")) {
            PendingLinks.Append(value).Append(",");
        } else if (key.Equals("Script")) {
            Script.Split(value, '\t', 0, false, false);
        } else {
            ReadKey(block, key, i, value);
        }
    }
}

void clsGraf::DataTo(clsConfig& lines) {
    lines.AddBegin();
    AddLine(lines, "clsGraf=", Name);
    AddLine(lines, "Title=", Title);
    for (int i = 0; i < GetCount(); ++i) {
        clsBox* box = GetValue(i);
        if (!box) continue;
        AddLine(lines, "clsBox.Type=", clsString(box->TypeName()));
        lines.AddBegin();
        box->DataTo(lines);
        lines.AddEnd();
    }
    lines.AddEnd();
}

void clsGraf::DataFrom(const clsConfig& lines) {
    // A block handed down by this reader is read where it stands.
    if (const auto* view = dynamic_cast<const detail::BorrowedBlock*>(&lines)) {
        ReadLines(view->Table(), view->Start(), view->Start() + view->GetCount());
        return;
    }
    const detail::BlockTable table(lines);
    ReadLines(table, 0, lines.GetCount());
}

void clsGraf::ReadLines(const detail::BlockTable& table, int begin, int end) {
    detail::ReadNestingGuard nesting;
    Clear();
    const clsConfig& lines = table.Lines();
    clsString key;
    clsString value;
    for (int i = begin; i < end; ++i) {
        const clsString* line = lines.GetItem(i);
        if (!line) continue;
        detail::SplitKeyValue(*line, key, value);
        if (!key.Equals("clsBox.Type")) continue;
        const int length = table.Length(i + 1, end);
        std::unique_ptr<clsBox> box(NewBox(this, value));
        if (box) {
            const detail::BorrowedBlock block(table, i + 1, length);
            box->DataFrom(block);
            if (Add(box->Name, box.get()) >= 0) box.release();
        }
        i += length;
    }
    ResolvePendingLinks();
}

namespace {

std::string Folded(const clsString& name) {
    std::string folded(name.CStr() ? name.CStr() : "", static_cast<std::size_t>(name.Length()));
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

struct PairHash {
    std::size_t operator()(const std::pair<const clsBox*, const clsBox*>& p) const noexcept {
        const std::size_t a = std::hash<const clsBox*>()(p.first);
        return a ^
               (std::hash<const clsBox*>()(p.second) + 0x9E3779B97F4A7C15ULL + (a << 6) + (a >> 2));
    }
};

// Calls f with every non-empty piece of a ','-separated list.
template <class F> void ForEachPiece(const clsString& list, F f) {
    const char* p = list.CStr();
    if (!p) return;
    const char* end = p + list.Length();
    while (p < end) {
        const char* comma = p;
        while (comma < end && *comma != ',')
            ++comma;
        if (comma > p) f(clsString(p, static_cast<int>(comma - p)));
        p = comma + 1;
    }
}

} // namespace

void clsGraf::ResolvePendingLinks() {
    // Lookups by name answer the first box of that name, ignoring case, as
    // GetBox does; the index makes them constant-time for large charts.
    std::unordered_map<std::string, clsBox*> byName;
    byName.reserve(static_cast<std::size_t>(GetCount()));
    bool fresh = true;
    for (int i = 0; i < GetCount(); ++i) {
        const auto* node = GetNode(i);
        if (!node || !node->Value()) continue;
        if (node->HasKey()) byName.emplace(Folded(node->GetKey()), node->Value());
        if (node->Value()->LinksOut.GetCount() > 0 || node->Value()->LinksIn.GetCount() > 0)
            fresh = false;
    }
    if (!fresh) {
        // Links made while reading: AddLink checks each list itself.
        for (int i = 0; i < GetCount(); ++i) {
            clsBox* box = GetValue(i);
            if (box)
                ForEachPiece(box->PendingLinks,
                             [&](const clsString& name) { box->AddLink(GetBox(name)); });
        }
        return;
    }
    // With empty lists, a name already present in a list can only come from
    // a link made here: the pairs seen stand for the lists' own lookups.
    using Pair = std::pair<const clsBox*, const clsBox*>;
    std::unordered_set<Pair, PairHash> outSeen;
    std::unordered_set<Pair, PairHash> inSeen;
    for (int i = 0; i < GetCount(); ++i) {
        clsBox* source = GetValue(i);
        if (!source || source->PendingLinks.Length() == 0) continue;
        const clsBox* sourceId = nullptr;
        if (source->Name.Length() > 0) {
            auto found = byName.find(Folded(source->Name));
            sourceId = found != byName.end() ? found->second : source;
        }
        ForEachPiece(source->PendingLinks, [&](const clsString& name) {
            auto found = byName.find(Folded(name));
            if (found == byName.end()) return;
            clsBox* target = found->second;
            if (outSeen.insert({source, target}).second) source->LinksOut.Add(target->Name, target);
            if (!sourceId || inSeen.insert({target, sourceId}).second)
                target->LinksIn.Add(source->Name, source);
        });
    }
}

} // namespace quorgrafica
