// archive-copy FROM_ALIAS TO_ALIAS: copies every table of one alias's
// archive into another's, as one transaction on the target.

#include "tools/archivecopy/ArchiveCopy.h"

#include "platform/core/CommandLine.h"
#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"

#include <iostream>

namespace {

const char* const kUsage =
    "Uso: archive-copy [--sostituisci] ALIAS_ORIGINE ALIAS_DESTINAZIONE\n"
    "Copia ogni tabella dell'archivio di un alias (tipi, chiavi, indici e righe) in quello\n"
    "di un altro alias, in un'unica transazione. Gli alias sono quelli del file di\n"
    "configurazione del motore: QUOR_ENGINE_CONFIG, se c'\xC3\xA8; se no\n"
    "~/.config/Quor/engine.ini (o $XDG_CONFIG_HOME/Quor/engine.ini), poi /etc/quor/engine.ini.\n"
    "  --sostituisci   rimpiazza le tabelle con gli stessi nomi gi\xC3\xA0 presenti nella\n"
    "                  destinazione (senza, la copia non parte)\n"
    "  --help          mostra questo aiuto\n"
    "  --version       mostra la versione\n";

} // namespace

int main(int argc, char** argv) {
    CommandLine line("archive-copy", kUsage);
    line.Flag("--sostituisci");
    if (const int status = line.Parse(argc, argv, std::cout, std::cerr); status >= 0) return status;
    if (line.Arguments().size() != 2)
        return line.Refuse(std::cerr, "servono l'alias di origine e quello di destinazione");
    const std::string from = Utf8ToCp1252(line.Arguments()[0]);
    const std::string to = Utf8ToCp1252(line.Arguments()[1]);
    archivecopy::Options options;
    options.replace = line.Has("--sostituisci");
    try {
        const archivecopy::Result result = archivecopy::CopyArchive(
            from, to, options, [](const std::string& table, std::int64_t done, std::int64_t total) {
                std::cout << Cp1252ToUtf8(table) << ": " << done << " righe di " << total
                          << std::endl;
            });
        std::cout << "Copiate " << result.tables << " tabelle, " << result.rows << " righe, da '"
                  << Cp1252ToUtf8(from) << "' a '" << Cp1252ToUtf8(to) << "'" << std::endl;
    } catch (const Exception& e) {
        return line.Fail(std::cerr, Cp1252ToUtf8(e.Message().str()));
    } catch (const std::exception& e) {
        return line.Fail(std::cerr, e.what());
    }
    return 0;
}
