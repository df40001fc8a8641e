#pragma once
// The gallery's working copy. The gallery never opens the archive it starts
// from: it copies it into a folder of its own, where it may write as it
// likes, and points the engine there through a configuration of its own
// that names the copy as the alias "Galleria". File names are UTF-8.

#include <string>

namespace gallery {

constexpr const char* kAlias = "Galleria";
// Inside the gallery's folder.
constexpr const char* kCopyName = "Galleria.db";
constexpr const char* kConfigName = "galleria.ini";

struct GalleryCopy {
    std::string archive;      // <folder>/Galleria.db, absolute
    std::string engineConfig; // <folder>/galleria.ini, absolute
};

// The file of the alias "Bracotene" (the archive the utility opens), as the
// engine's configuration names it. False with a message naming the alias
// and the configuration when it is not to be had.
bool UtilityArchive(std::string& archive, std::string& error);

// Copies source into folder (created when missing), replacing an older
// copy, adds the chart of accounts when the archive has none, and writes the
// configuration naming the copy. source is only read. False with a message
// naming the file or folder; a failure never leaves half a copy.
bool MakeGalleryCopy(const std::string& source, const std::string& folder, GalleryCopy& copy,
                     std::string& error);

// Points the engine of this process at the copy's configuration, so that
// the alias "Galleria" opens the copy.
void UseGalleryCopy(const GalleryCopy& copy);

} // namespace gallery
