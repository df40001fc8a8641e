// The export of a condominium with 100,000 movements from a PostgreSQL copy
// of the demo archive, one cause lookup per movement, against the same work
// done with raw libpq in the same run (one query for the movements and one
// prepared lookup per movement, building the same text). Prints the ratio.

#include "bench/db/ServerBench.h"
#include "bench/db/ServerRounds.h"

#include "app/ContoCorrenteExport.h"
#include "app/datBracUtil.h"
#include "db/QueryHelpers.h"
#include "platform/core/Encoding.h"
#include "platform/core/Locale.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"
#include "tools/archivecopy/ArchiveCopy.h"
#include "tools/demoarchive/DemoArchive.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kMovements = 100000;

struct Archive {
    std::string dir;
    std::string connection;
    std::unique_ptr<ScopedScriptedDialogs> dialogs;
    std::unique_ptr<TdatBracoUtil> module;
};

Archive& TheArchive() {
    static Archive archive;
    return archive;
}

std::string Export() {
    const quorbase::clsString text = BuildContoCorrenteText(TheArchive().module->tblCondomini);
    return std::string(text.CStr(), static_cast<std::size_t>(text.Length()));
}

int g_backend = 0; // the session of the program's database

void BM_BracUtilExportOnServer(benchmark::State& state) {
    const double before = ServerBench::ProcessSeconds(g_backend);
    for (auto _ : state)
        benchmark::DoNotOptimize(Export());
    ServerBench::CountServerTime(state, g_backend, before);
    state.SetItemsProcessed(state.iterations() * kMovements);
}

// 'text' with its apostrophes doubled.
void Quoted(std::string& out, const char* text) {
    out += '\'';
    for (const char* p = text; *p; ++p) {
        if (*p == '\'') out += '\'';
        out += *p;
    }
    out += '\'';
}

// The same text by hand, in UTF-8: dates as dd/mm/yyyy, amounts with a
// decimal comma and no trailing zeros.
std::string LibpqExport(PGconn* conn) {
    PGresult* rows = PQexec(conn, "SELECT data, valuta, idcausale, descrizione, importo FROM "
                                  "movconti WHERE idcondominio = 1 ORDER BY idmovconti");
    std::string out = "\"Data\"\t\"Valuta\"\t\"Causale\"\t\"Descrizione\"\t\"Importo\"";
    const int n = PQntuples(rows);
    for (int r = 0; r < n; ++r) {
        out += "\r\n";
        if (!PQgetisnull(rows, r, 0)) {
            const char* d = PQgetvalue(rows, r, 0); // YYYY-MM-DD
            out.append(d + 8, 2).append("/").append(d + 5, 2).append("/").append(d, 4);
        }
        out += '\t';
        out += PQgetvalue(rows, r, 1);
        out += '\t';
        const char* cause[] = {PQgetvalue(rows, r, 2)};
        PGresult* name = PQexecPrepared(conn, "causale", 1, cause, nullptr, nullptr, 0);
        Quoted(out, PQntuples(name) ? PQgetvalue(name, 0, 0) : "");
        PQclear(name);
        out += '\t';
        Quoted(out, PQgetvalue(rows, r, 3));
        out += '\t';
        if (!PQgetisnull(rows, r, 4)) {
            std::string amount = PQgetvalue(rows, r, 4);
            if (amount.find('.') != std::string::npos) {
                while (amount.back() == '0')
                    amount.pop_back();
                if (amount.back() == '.') amount.pop_back();
            }
            for (char& c : amount)
                if (c == '.') c = ',';
            out += amount;
        }
    }
    PQclear(rows);
    return out;
}

PGconn* g_raw = nullptr;

void BM_LibpqExport(benchmark::State& state) {
    const double before = ServerBench::ProcessSeconds(PQbackendPID(g_raw));
    for (auto _ : state)
        benchmark::DoNotOptimize(LibpqExport(g_raw));
    ServerBench::CountServerTime(state, PQbackendPID(g_raw), before);
    state.SetItemsProcessed(state.iterations() * kMovements);
}


bool Prepare(const ServerBench& server) {
    Archive& archive = TheArchive();
    archive.dir = (std::filesystem::temp_directory_path() /
                   ("bracutil-server-bench-" + std::to_string(getpid())))
                      .string();
    demoarchive::Options options;
    options.movements = kMovements;
    demoarchive::Result demo;
    std::string error;
    if (!demoarchive::MakeDemoArchive(archive.dir, options, demo, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    // The demo archive moves to the server; the program then opens it there.
    const std::string config = archive.dir + "/server.ini";
    std::ofstream(config) << "[Demo]\nDriver=SQLITE\nPath=" << demo.archive
                          << "\n[Bracotene]\nDriver=POSTGRES\nConnection=" << server.Connection()
                          << "\n";
    setenv("QUOR_ENGINE_CONFIG", config.c_str(), 1);
    try {
        archivecopy::CopyArchive("Demo", "Bracotene", {});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", Cp1252ToUtf8(e.what()).c_str());
        return false;
    }
    const std::string registry = archive.dir + "/registry.reg";
    setenv("QUOR_REGISTRY", registry.c_str(), 1);
    FormatSettings() = TFormatSettings::ForLocale("it_IT.UTF-8");
    archive.dialogs = std::make_unique<ScopedScriptedDialogs>();
    archive.module = std::make_unique<TdatBracoUtil>();
    if (!archive.module->tblCondomini->Locate("IdCondominio", Variant(1))) {
        std::fprintf(stderr, "condominio 1 non trovato\n");
        return false;
    }
    // The module has named its database for the query helpers.
    g_backend = QueryInt("select pg_backend_pid()");
    g_raw = PQconnectdb(server.Connection().c_str());
    PQclear(PQexec(g_raw, "SET datestyle = 'ISO, YMD'"));
    PQclear(
        PQprepare(g_raw, "causale", "SELECT nome FROM causali WHERE idcausale = $1", 0, nullptr));
    // Both sides must produce the same text for the comparison to mean anything.
    const std::string ours = Cp1252ToUtf8(Export());
    const std::string raw = LibpqExport(g_raw);
    std::printf("text identical to raw libpq's: %s (%zu bytes)\n", ours == raw ? "yes" : "NO",
                raw.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ServerBench server;
    if (!server.Ok()) return 1;
    if (!Prepare(server)) return 1;
    ServerRounds::Register(5,
                           {{"BM_BracUtilExportOnServer", BM_BracUtilExportOnServer},
                            {"BM_LibpqExport", BM_LibpqExport}},
                           0.1, benchmark::kMillisecond);
    ServerRounds reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("export on the server / raw libpq:", "BM_BracUtilExportOnServer",
                        "BM_LibpqExport");
    std::printf("goal: 1.30x or less\n");
    TheArchive().module.reset();
    TheArchive().dialogs.reset();
    PQfinish(g_raw);
    std::error_code ec;
    std::filesystem::remove_all(TheArchive().dir, ec);
    return 0;
}
