#include "tools/gallery/GalleryChart.h"
#include "tools/gallery/GalleryFolder.h"

#include "platform/core/Encoding.h"
#include "platform/core/Files.h"
#include "quorgrafica/BoxKinds.h"
#include "quorgrafica/Clsgraf.h"

#include <filesystem>
#include <initializer_list>

namespace gallery {

namespace fs = std::filesystem;

bool ExampleChart(std::string& file, std::string& error) {
    const fs::path program(Cp1252ToUtf8(ProgramFileName().view()));
    const fs::path beside = program.parent_path() / kChartName;
    // Where the packages put it: share/quor beside the programs' bin.
    const fs::path installed = program.parent_path().parent_path() / "share" / "quor" / kChartName;
    const fs::path source =
        fs::path(GALLERY_SOURCE_DIR) / "tools" / "chartrender" / "examples" / kChartName;
    std::error_code ec;
    for (const fs::path& place : {beside, installed, source})
        if (fs::is_regular_file(place, ec)) {
            file = place.string();
            return true;
        }
    error = "non trovo il diagramma d'esempio: l'ho cercato in " + Quoted(beside) + ", in " +
            Quoted(installed) + " e in " + Quoted(source);
    return false;
}

bool MakeChartCopy(const std::string& source, const std::string& folder, std::string& copy,
                   std::string& error) {
    std::error_code ec;
    const fs::path from = fs::absolute(source, ec);
    if (ec || !fs::is_regular_file(from, ec)) {
        error = "il diagramma da copiare " + Quoted(source) + " non esiste";
        return false;
    }
    fs::path dir;
    if (!MakeGalleryFolder(folder, dir, error)) return false;
    const fs::path target = dir / kChartName;
    // The gallery saves into its copy: the example must never be it.
    if (fs::equivalent(from, target, ec)) {
        error = "il diagramma " + Quoted(source) +
                " è già la copia della galleria: indica un'altra cartella";
        return false;
    }
    // Written aside and renamed, so that an older copy stays whole until
    // the new one is.
    const fs::path aside = dir / (std::string(kChartName) + ".nuovo");
    fs::remove(aside, ec);
    const bool copied = fs::copy_file(from, aside, fs::copy_options::overwrite_existing, ec);
    if (copied && !ec) fs::rename(aside, target, ec);
    if (!copied || ec) {
        fs::remove(aside, ec);
        error = "non riesco a scrivere la copia del diagramma " + Quoted(target);
        return false;
    }
    copy = target.string();
    return true;
}

void ShowGridEverywhere(quorgrafica::clsGraf& graf) {
    graf.GridShow = true;
    for (int i = 0; i < graf.GetCount(); ++i)
        if (auto* group = dynamic_cast<quorgrafica::clsBoxGroup*>(graf.BoxAt(i)))
            if (group->Graf) ShowGridEverywhere(*group->Graf);
}

} // namespace gallery
