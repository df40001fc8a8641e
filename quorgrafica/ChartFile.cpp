#include "quorgrafica/ChartFile.h"

#include "platform/core/Encoding.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/TextLines.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

namespace quorgrafica {

using quorbase::clsConfig;
using quorbase::clsString;

namespace {

// Larger files are refused rather than read into memory.
constexpr std::uintmax_t MaxChartFileSize = 256u * 1024u * 1024u;

std::filesystem::path ToPath(const AnsiString& fileName) {
    return std::filesystem::path(Cp1252ToUtf16(fileName.view()));
}

void Fail(AnsiString* error, const char* before, const AnsiString& fileName, const char* after) {
    if (error) *error = AnsiString(before) + "\"" + fileName + "\"" + after;
}

std::string Escaped(const clsString& line) {
    std::string out;
    const char* p = line.CStr();
    out.reserve(static_cast<std::size_t>(line.Length()));
    for (int i = 0; i < line.Length(); ++i) {
        switch (p[i]) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += p[i];
        }
    }
    return out;
}

std::string Unescaped(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (line[i] == '\\' && (next == '\\' || next == 'n' || next == 'r')) {
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
            ++i;
        } else {
            out += line[i];
        }
    }
    return out;
}

// Calls f with each line of UTF-8 file text as Windows-1252, escapes undone,
// until f answers false.
template <class F> void ForEachLine(std::string_view text, F f) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::string inside;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Most lines are plain ASCII and go in as they are.
        bool plain = true;
        for (const char c : line)
            plain = plain && c != '\\' && static_cast<unsigned char>(c) < 0x80;
        if (!plain) {
            inside = Utf8ToCp1252(Unescaped(line));
            line = inside;
        }
        if (!f(line)) return;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

// The lines of a file being read. The brace lines, nearly half of a chart,
// share one string each; the others live in one store rather than in an
// allocation of their own.
class FileLines {
public:
    explicit FileLines(std::string_view text) {
        lines_.SetOwning(false);
        lines_.Resize(static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 2);
        ForEachLine(text, [this](std::string_view line) {
            const clsString* item = &open_;
            if (line != "{") {
                item = &close_;
                if (line != "}")
                    item = &store_.emplace_back(line.data(), static_cast<int>(line.size()));
            }
            return lines_.Insert(const_cast<clsString*>(item)) >= 0;
        });
    }
    const clsConfig& Lines() const { return lines_; }

private:
    const clsString open_{"{"};
    const clsString close_{"}"};
    std::deque<clsString> store_;
    clsConfig lines_;
};

// The file's lines hold a graph block: "{" then the graph's own line.
bool LooksLikeChart(const clsConfig& lines) {
    const clsString* first = lines.GetItem(0);
    const clsString* second = lines.GetItem(1);
    if (!first || !second || !first->Equals(lines.BeginMark())) return false;
    clsString key, value;
    detail::SplitKeyValue(*second, key, value);
    return key.Equals("clsGraf");
}

} // namespace

std::string ChartLinesToText(const clsConfig& lines) {
    std::string text;
    for (int i = 0; i < lines.GetCount(); ++i) {
        if (const clsString* line = lines.GetItem(i)) text += Escaped(*line);
        text += '\n';
    }
    return Cp1252ToUtf8(text);
}

void ChartTextToLines(std::string_view text, clsConfig& lines) {
    lines.Resize(lines.GetCount() + static_cast<int>(std::count(text.begin(), text.end(), '\n')) +
                 2);
    ForEachLine(text, [&lines](std::string_view line) {
        auto* item = new (std::nothrow) clsString(line.data(), static_cast<int>(line.size()));
        if (item && lines.Insert(item) >= 0) return true;
        delete item;
        return false;
    });
}

bool SaveChartFile(clsGraf& graf, const AnsiString& fileName, AnsiString* error) {
    clsConfig lines;
    graf.DataTo(lines);
    const std::string text = ChartLinesToText(lines);
    const std::filesystem::path path = ToPath(fileName);
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out || !out.flush()) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            Fail(error, "Impossibile scrivere il file ", fileName, ".");
            return false;
        }
    }
    std::error_code failed;
    std::filesystem::rename(temporary, path, failed);
    if (failed) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        Fail(error, "Impossibile scrivere il file ", fileName, ".");
        return false;
    }
    return true;
}

bool LoadChartFile(clsGraf& graf, const AnsiString& fileName, AnsiString* error,
                   ChartReadNotes* notes) {
    const std::filesystem::path path = ToPath(fileName);
    std::error_code failed;
    if (!std::filesystem::is_regular_file(path, failed)) {
        Fail(error, "Il file ", fileName, " non esiste.");
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, failed);
    if (failed) {
        Fail(error, "Impossibile leggere il file ", fileName, ".");
        return false;
    }
    if (size > MaxChartFileSize) {
        Fail(error, "Il file ", fileName, " \xE8 troppo grande per un diagramma.");
        return false;
    }
    std::unique_ptr<FileLines> file;
    {
        // Read in one piece and dropped before the graph is built.
        std::string text(static_cast<std::size_t>(size), '\0');
        std::ifstream in(path, std::ios::binary);
        if (!in || !in.read(text.data(), static_cast<std::streamsize>(text.size())) ||
            in.peek() != std::char_traits<char>::eof()) {
            Fail(error, "Impossibile leggere il file ", fileName, ".");
            return false;
        }
        file = std::make_unique<FileLines>(
            text.find('\0') == std::string::npos ? std::string_view(text) : std::string_view());
    }
    const clsConfig& lines = file->Lines();
    if (!LooksLikeChart(lines)) {
        Fail(error, "Il file ", fileName, " non contiene un diagramma valido.");
        return false;
    }
    if (notes) *notes = ChartReadNotes{};
    const detail::ReadNotesScope noting(notes);
    graf.DataFrom(lines);
    return true;
}

} // namespace quorgrafica
