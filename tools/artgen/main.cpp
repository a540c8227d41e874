// duobrik-artgen: makes the game's picture file and the pictures around it.
//
//   duobrik-artgen <BrikResource.dat> <art folder>
//
// Writes the picture file, the window icon as PNG at 64, 128 and 256 pixels
// (and 192 and 512 for the web page's app icons) and as a Windows icon file
// (duobrik.ico), and a contact sheet of every record into the art folder.
// The output depends on nothing but this program, so every run writes the
// same bytes.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "tools/artgen/Artwork.h"
#include "tools/artgen/ContactSheet.h"
#include "tools/artgen/IconFile.h"
#include "tools/artgen/ResourceFile.h"

namespace {

static_assert(sizeof(Rgba) == 4, "PNG rows are written straight from the pixels");

bool writePng(const std::string& path, const Image& img) {
    return stbi_write_png(path.c_str(), img.width(), img.height(), 4, img.pixels().data(),
                          img.width() * 4) != 0;
}

Image enlarged(const Image& img, int factor) {
    Image out(img.width() * factor, img.height() * factor);
    out.draw(img, 0, 0, factor);
    return out;
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// The sizes Windows shows, small ones averaged down from the pixel art; the
// largest as PNG, which is a tenth of its bitmap.
std::vector<unsigned char> windowsIcon(const Image& icon) {
    std::vector<IconEntry> entries;
    for (int size : {16, 24, 32, 48}) {
        entries.push_back({resampled(icon, size), {}});
    }
    entries.push_back({icon, {}});
    IconEntry large{enlarged(icon, 256 / icon.width()), {}};
    const Image& img = large.image;
    if (stbi_write_png_to_func(appendBytes, &large.png, img.width(), img.height(), 4,
                               img.pixels().data(), img.width() * 4) == 0) {
        return {};
    }
    entries.push_back(std::move(large));
    return encodeIcon(entries);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <BrikResource.dat> <art folder>\n", argv[0]);
        return 2;
    }
    const std::string datPath = argv[1], artDir = argv[2];

    std::vector<Image> records;
    std::string error;
    if (!art::buildRecords(records, error)) {
        std::fprintf(stderr, "duobrik-artgen: %s\n", error.c_str());
        return 1;
    }
    if (!writeFile(datPath, encodeRecords(records))) {
        std::fprintf(stderr, "duobrik-artgen: cannot write %s\n", datPath.c_str());
        return 1;
    }
    // The icon is pixel art: larger sizes are plain enlargements.
    const Image& icon = records[catalogue::kIcon];
    for (int size : {64, 128, 192, 256, 512}) {
        const std::string path = artDir + "/duobrik-" + std::to_string(size) + ".png";
        if (!writePng(path, enlarged(icon, size / icon.width()))) {
            std::fprintf(stderr, "duobrik-artgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const std::vector<unsigned char> ico = windowsIcon(icon);
    const std::string icoPath = artDir + "/duobrik.ico";
    if (ico.empty() || !writeFile(icoPath, ico)) {
        std::fprintf(stderr, "duobrik-artgen: cannot write %s\n", icoPath.c_str());
        return 1;
    }
    const std::string sheetPath = artDir + "/contact-sheet.png";
    if (!writePng(sheetPath, contactSheet(records))) {
        std::fprintf(stderr, "duobrik-artgen: cannot write %s\n", sheetPath.c_str());
        return 1;
    }
    return 0;
}
