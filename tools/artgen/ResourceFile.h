#pragma once
// Writes pictures in the layout the game's loader reads (catalogue/PictureFile.h).

#include <string>
#include <vector>

#include "tools/artgen/Image.h"

// The whole file's bytes, so callers can write them or compare them.
std::vector<unsigned char> encodeRecords(const std::vector<Image>& records);
// Writes the bytes to `path`; false if the file cannot be written whole.
bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
