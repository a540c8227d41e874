#pragma once
// How the game opens its data files (pictures, music modules, sound
// effects): only a regular file is a data file. A FIFO in its place would
// block the game in open() for ever, before any window event could be
// answered, and a device or a folder is no picture, module or sound; any of
// them counts as a missing file.

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace catalogue {

// Opens `path` for reading if it is a regular file (or a link to one). Null
// when not opened.
inline std::FILE* openDataFile(const char* path) {
    std::error_code failed;
    if (path == nullptr || !std::filesystem::is_regular_file(path, failed)) {
        return nullptr;
    }
    return std::fopen(path, "rb");
}

}  // namespace catalogue
