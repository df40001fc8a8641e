// make-demo-archive <folder> [--movements N]: writes a demo archive of the
// product and the engine configuration naming it "Bracotene".

#include "platform/core/CommandLine.h"
#include "tools/demoarchive/DemoArchive.h"

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    CommandLine cl("make-demo-archive",
                   "Uso: make-demo-archive CARTELLA [--movements N]\n"
                   "  Scrive in CARTELLA l'archivio dimostrativo Archivi/Bracotene.db e il file\n"
                   "  engine.ini che lo chiama \"Bracotene\".\n"
                   "  --movements N      movimenti del condominio 1 (predefinito 1200)\n"
                   "  --help             mostra questo aiuto\n"
                   "  --version          mostra la versione\n");
    cl.Value("--movements");
    if (const int status = cl.Parse(argc, argv, std::cout, std::cerr); status >= 0) return status;
    if (cl.Arguments().size() != 1) return cl.Refuse(std::cerr, "serve una e una sola cartella");

    demoarchive::Options options;
    if (cl.Has("--movements")) {
        const std::string text = cl.Get("--movements");
        char* end = nullptr;
        const long n = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || n < 0 || n > 100000000)
            return cl.Refuse(std::cerr, "--movements vuole un numero intero da 0 a 100000000");
        options.movements = static_cast<int>(n);
    }
    demoarchive::Result result;
    std::string error;
    if (!demoarchive::MakeDemoArchive(cl.Arguments()[0], options, result, error))
        return cl.Fail(std::cerr, error);
    std::cout << result.archive << ": " << result.condominiums << " condomini, " << result.movements
              << " movimenti, " << result.accounts << " conti\n"
              << result.engineConfig << '\n';
    return 0;
}
