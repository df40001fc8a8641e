#include "tools/gallery/GalleryFolder.h"

namespace gallery {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

bool MakeGalleryFolder(const std::string& folder, fs::path& dir, std::string& error) {
    std::error_code ec;
    dir = fs::absolute(folder, ec);
    if (!ec) fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir)) {
        error = "non riesco a creare la cartella della galleria " + Quoted(folder);
        return false;
    }
    return true;
}

} // namespace gallery
