#include "ChartHelpers.h"
#include "DeepChartText.h"
#include "HeapCounter.h"
#include "quorgrafica/ChartFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace quorgrafica;
using charttest::AddBox;
using charttest::Lines;
using charttest::SetLines;
using charttest::Str;

namespace {

struct TempDir {
    std::filesystem::path path;
    // A folder no other run can have: made anew, never one found there.
    TempDir() {
        std::random_device random;
        for (;;) {
            path = std::filesystem::temp_directory_path() /
                   ("chartfile-" + std::to_string(random()) + "-" + std::to_string(random()));
            if (std::filesystem::create_directory(path)) return;
        }
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    AnsiString File(const char* name) const { return AnsiString((path / name).string()); }
};

std::string ReadAll(const AnsiString& name) {
    std::ifstream in(name.str(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteAll(const AnsiString& name, const std::string& bytes) {
    std::ofstream(name.str(), std::ios::binary) << bytes;
}

} // namespace

TEST(ChartFile, LinesBecomeUtf8TextAndComeBackExactly) {
    quorbase::clsConfig lines;
    SetLines(lines,
             {"{", "Text=euro \x80 e \xE8", "Text=two\nlines\r", "Path=C:\\dir\\n", "", "}"});
    const std::string text = ChartLinesToText(lines);
    EXPECT_EQ(text, "{\nText=euro \xE2\x82\xAC e \xC3\xA8\nText=two\\nlines\\r\n"
                    "Path=C:\\\\dir\\\\n\n\n}\n");
    quorbase::clsConfig back;
    ChartTextToLines(text, back);
    EXPECT_EQ(Lines(back), Lines(lines));

    // Windows line ends, a byte order mark, a missing final line feed and a
    // lone backslash are all accepted.
    quorbase::clsConfig other;
    ChartTextToLines("\xEF\xBB\xBF{\r\nA=\\x\\\r\n}", other);
    EXPECT_EQ(Lines(other), (std::vector<std::string>{"{", "A=\\x\\", "}"}));
}

TEST(ChartFile, SaveAndLoadKeepTheChart) {
    TempDir dir;
    clsGraf graf;
    clsBox* a = AddBox(graf, "clsBoxRectangle", "Entrata \x80", TRect{1, 2, 30, 40});
    a->Text = "Prima riga\nseconda riga con \\ barra";
    clsBox* b = AddBox(graf, "clsBoxGroup", "Gruppo", TRect{50, 2, 80, 40});
    AddBox(*static_cast<clsBoxGroup*>(b)->Graf, "clsBoxLine", "Dentro");
    a->AddLink(b);
    const AnsiString name = dir.File("diagramma.chart");
    AnsiString error;
    ASSERT_TRUE(SaveChartFile(graf, name, &error)) << error.str();
    EXPECT_TRUE(error.IsEmpty());
    const std::string bytes = ReadAll(name);
    EXPECT_NE(bytes.find("Name=Entrata \xE2\x82\xAC\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "diagramma.chart.tmp"));

    clsGraf loaded;
    ASSERT_TRUE(LoadChartFile(loaded, name, &error)) << error.str();
    quorbase::clsConfig expected, actual;
    graf.DataTo(expected);
    loaded.DataTo(actual);
    EXPECT_EQ(Lines(actual), Lines(expected));
    EXPECT_EQ(Str(loaded.GetValue(0)->Text), "Prima riga\nseconda riga con \\ barra");
    EXPECT_EQ(loaded.GetValue(0)->LinksOut.GetValue(0), loaded.GetValue(1));
}

TEST(ChartFile, ErrorsNameTheFileAndLeaveTheGraphAlone) {
    TempDir dir;
    clsGraf graf;
    AddBox(graf, "clsBoxRectangle", "Keep");
    AnsiString error;

    const AnsiString missing = dir.File("manca.chart");
    EXPECT_FALSE(LoadChartFile(graf, missing, &error));
    EXPECT_EQ(error, "Il file \"" + missing + "\" non esiste.");

    const AnsiString picture = dir.File("immagine.png");
    WriteAll(picture, std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    EXPECT_FALSE(LoadChartFile(graf, picture, &error));
    EXPECT_EQ(error, "Il file \"" + picture + "\" non contiene un diagramma valido.");

    const AnsiString text = dir.File("testo.txt");
    WriteAll(text, "Caro amministratore,\nbuongiorno.\n");
    EXPECT_FALSE(LoadChartFile(graf, text, &error));
    EXPECT_NE(error.str().find("testo.txt"), std::string::npos);

    EXPECT_FALSE(LoadChartFile(graf, AnsiString(dir.path.string()), &error))
        << "a folder is not a chart";
    ASSERT_EQ(graf.GetCount(), 1);
    EXPECT_EQ(Str(graf.GetValue(0)->Name), "Keep");

    const AnsiString nowhere = dir.File("no-such-folder/out.chart");
    EXPECT_FALSE(SaveChartFile(graf, nowhere, &error));
    EXPECT_EQ(error, "Impossibile scrivere il file \"" + nowhere + "\".");

    // A failed save leaves the previous file as it was.
    const AnsiString existing = dir.File("esistente.chart");
    ASSERT_TRUE(SaveChartFile(graf, existing));
    const std::string before = ReadAll(existing);
    std::filesystem::create_directory(dir.path / "esistente.chart.tmp");
    EXPECT_FALSE(SaveChartFile(graf, existing, &error));
    EXPECT_EQ(ReadAll(existing), before);

    // A minimal chart written by hand loads.
    const AnsiString hand = dir.File("mano.chart");
    WriteAll(hand, "{\r\nclsGraf=\r\nclsBox.Type=clsBoxRectangle\r\n{\r\nName=X\r\n}\r\n}\r\n");
    EXPECT_TRUE(LoadChartFile(graf, hand, &error));
    ASSERT_EQ(graf.GetCount(), 1);
    EXPECT_EQ(Str(graf.GetValue(0)->Name), "X");
}

TEST(ChartFile, DeepFilesReadInMemoryProportionalToTheirSize) {
    RegisterBoxKinds();
    TempDir dir;
    for (const int levels : {8000, 100000}) {
        SCOPED_TRACE(levels);
        const AnsiString name = dir.File("profondo.chart");
        const std::string text = charttest::DeepChartText(levels);
        WriteAll(name, text);
        const auto size = static_cast<std::int64_t>(text.size());

        clsGraf graf;
        ChartReadNotes notes;
        AnsiString error;
        std::int64_t peak = 0;
        {
            const charttest::HeapPeak heap;
            ASSERT_TRUE(LoadChartFile(graf, name, &error, &notes)) << error.str();
            peak = heap.Bytes();
        }
        // Copying nested blocks level by level took about a thousand times more.
        EXPECT_LT(peak, 6 * size) << "peak " << peak << " bytes for a file of " << size;
        EXPECT_TRUE(notes.NestingCapped);
        EXPECT_FALSE(notes.UnclosedBlocks);
        int depth = 0;
        for (clsGraf* g = &graf; g && g->GetCount() > 0;
             g = static_cast<clsBoxGroup*>(g->GetValue(0))->Graf) {
            ASSERT_EQ(g->GetCount(), 1);
            ASSERT_EQ(Str(g->GetValue(0)->Name), "G" + std::to_string(depth));
            ++depth;
        }
        EXPECT_EQ(depth, MaxReadNesting);
    }
}

TEST(ChartFile, NotesTellWhatTheGraphCannotShow) {
    RegisterBoxKinds();
    TempDir dir;
    const AnsiString name = dir.File("diagramma.chart");

    // A whole chart within the limit: nothing to tell, whatever was noted before.
    WriteAll(name, charttest::DeepChartText(3));
    clsGraf graf;
    ChartReadNotes notes{true, true};
    ASSERT_TRUE(LoadChartFile(graf, name, nullptr, &notes));
    EXPECT_FALSE(notes.NestingCapped);
    EXPECT_FALSE(notes.UnclosedBlocks);

    // A file cut short still gives what it holds.
    const std::string deep = charttest::DeepChartText(5);
    WriteAll(name, deep.substr(0, deep.size() - 12));
    ASSERT_TRUE(LoadChartFile(graf, name, nullptr, &notes));
    EXPECT_TRUE(notes.UnclosedBlocks);
    EXPECT_FALSE(notes.NestingCapped);
    clsGraf* g = &graf;
    for (int level = 0; level < 5; ++level) {
        ASSERT_EQ(g->GetCount(), 1) << level;
        EXPECT_EQ(Str(g->GetValue(0)->Name), "G" + std::to_string(level));
        g = static_cast<clsBoxGroup*>(g->GetValue(0))->Graf;
    }
    EXPECT_EQ(g->GetCount(), 0);

    // Reading without notes is unchanged.
    clsGraf plain;
    ASSERT_TRUE(LoadChartFile(plain, name));
    quorbase::clsConfig a, b;
    graf.DataTo(a);
    plain.DataTo(b);
    EXPECT_EQ(Lines(a), Lines(b));
}
