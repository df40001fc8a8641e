// Showing a 100,000-row dataset in the data-aware grid, which reads rows on
// demand, against a QTableWidget filled with every cell up front from the
// same open dataset. Prints how many times faster the grid is.

#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Table.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/Form.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QPixmap>
#include <QTableWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace {

constexpr int kRows = 100000;

struct Archive {
    std::string dir;
    std::unique_ptr<TForm> owner;
    TTable* table = nullptr;
    TDataSource* source = nullptr;

    Archive() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quor-gridbench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        dir = pattern;
        sqlite3* db = nullptr;
        sqlite3_open((dir + "/GridBench.db").c_str(), &db);
        sqlite3_exec(
            db,
            "create table Movimenti(id integer primary key, Data date, Descrizione "
            "varchar(50), Importo numeric(32,2));"
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000)"
            " insert into Movimenti select i, date('2020-01-01', '+' || (i % 1000) || ' days'),"
            " 'Movimento ' || i, (i % 9973) / 100.0 from n;",
            nullptr, nullptr, nullptr);
        sqlite3_close(db);
        std::ofstream(dir + "/engine.ini") << "[GridBench]\nDriver=SQLITE\nPath=GridBench.db\n";
        setenv("QUOR_ENGINE_CONFIG", (dir + "/engine.ini").c_str(), 1);
        owner = std::make_unique<TForm>();
        table = new TTable(owner.get());
        table->SetDatabaseName("GridBench");
        table->SetTableName("Movimenti");
        source = new TDataSource(owner.get());
        source->SetDataSet(table);
        table->Open();
    }
    ~Archive() {
        owner.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Archive& Data() {
    static Archive archive;
    return archive;
}

// Bind, build the widget and paint it once, as opening the window does.
void BM_DBGridOnDemand(benchmark::State& state) {
    Archive& data = Data();
    for (auto _ : state) {
        TForm form;
        form.SetBounds(0, 0, 800, 600);
        auto* grid = new TDBGrid(&form);
        grid->SetParent(&form);
        grid->SetAlign(alClient);
        grid->SetDataSource(data.source);
        QPixmap shot = form.Widget()->grab();
        benchmark::DoNotOptimize(shot);
    }
}

void BM_TableWidgetFilledUpFront(benchmark::State& state) {
    Archive& data = Data();
    TDataSet* ds = data.table;
    std::vector<TField*> fields;
    for (int i = 0; i < ds->FieldCount(); ++i)
        fields.push_back((*ds->Fields())[i]);
    for (auto _ : state) {
        QTableWidget table(ds->RecordCount(), static_cast<int>(fields.size()));
        table.resize(800, 600);
        for (int row = 0; row < ds->RecordCount(); ++row)
            for (int col = 0; col < static_cast<int>(fields.size()); ++col)
                table.setItem(
                    row, col,
                    new QTableWidgetItem(QString::fromLatin1(
                        ds->DisplayTextAt(row, fields[static_cast<size_t>(col)]).c_str())));
        QPixmap shot = table.grab();
        benchmark::DoNotOptimize(shot);
    }
}

BENCHMARK(BM_DBGridOnDemand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableWidgetFilledUpFront)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double grid = times_["BM_DBGridOnDemand"];
        const double filled = times_["BM_TableWidgetFilledUpFront"];
        if (grid > 0 && filled > 0)
            std::printf("Showing %d rows: the grid is %.1fx faster than a widget filled up front\n",
                        kRows, filled / grid);
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
