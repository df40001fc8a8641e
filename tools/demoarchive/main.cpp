// make-demo-archive <folder> [--movements N]: writes a demo archive of the
// product and the engine configuration naming it "Bracotene".

#include "tools/demoarchive/DemoArchive.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "Uso: make-demo-archive <cartella> [--movements N]\n"
                         "  N: movimenti del condominio 1 (predefinito 1200)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string folder;
    demoarchive::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--movements" && i + 1 < argc) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || n < 0 || n > 100000000) return Usage();
            options.movements = static_cast<int>(n);
        } else if (!arg.empty() && arg[0] != '-' && folder.empty()) {
            folder = arg;
        } else {
            return Usage();
        }
    }
    if (folder.empty()) return Usage();
    demoarchive::Result result;
    std::string error;
    if (!demoarchive::MakeDemoArchive(folder, options, result, error)) {
        std::fprintf(stderr, "make-demo-archive: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %d condomini, %d movimenti\n%s\n", result.archive.c_str(), result.condominiums,
                result.movements, result.engineConfig.c_str());
    return 0;
}
