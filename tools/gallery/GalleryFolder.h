#pragma once
// The gallery's own folder, where its copies live. File names are UTF-8.

#include <filesystem>
#include <string>

namespace gallery {

// A path as the gallery's messages show it.
std::string Quoted(const std::filesystem::path& path);

// The folder made absolute and created when missing. False with a message
// naming it when it cannot be had.
bool MakeGalleryFolder(const std::string& folder, std::filesystem::path& dir, std::string& error);

} // namespace gallery
