#pragma once
// The table of pictures. Every record of the picture file "./BrikResource.dat"
// (catalogue/PictureFile.h) becomes one OpenGL texture and one entry here;
// everywhere else a picture is named only by its texture index, the position
// of its record in the file. The one table, gTextures, owns every texture it
// made: its entries, which pictures are opaque, and the picture stack built
// from them are made together by load() and given back together by release().

#include <cstdint>
#include <vector>

#include "catalogue/PictureFile.h"
#include "render/CellStack.h"
#include "render/PictureStack.h"
#include "render/TextureEntry.h"

constexpr int kMaxTextures = catalogue::picturefile::kMostRecords;

// One picture as the file holds it.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgra;  // rows top first
};

class TextureTable {
public:
    // kMaxTextures zero entries: no picture loaded.
    TextureTable();
    // The textures are not deleted here: the table outlives the window's
    // context, and the process's end takes them with it.
    ~TextureTable() = default;
    TextureTable(const TextureTable&) = delete;
    TextureTable& operator=(const TextureTable&) = delete;

    // Releases what an earlier load made, then loads every picture of the file
    // at `path` and builds the picture stack from them. Needs a current OpenGL
    // context. A missing file leaves the table empty; a damaged one keeps the
    // pictures before the damage. Picture `keep` is also kept as it is, for
    // kept(), so that nobody need read the file a second time. Returns the
    // number of entries made.
    int load(const char* path, int keep = -1);
    // The picture load() was asked to keep; empty when it was not in the file.
    const Picture& kept() const { return kept_; }
    void dropKept() { kept_ = Picture{}; }
    // Deletes every texture of the table and of its stack and empties the
    // table. Needs the context that the textures were made in.
    void release();

    // Entry `index` (below kMaxTextures); zero beyond the file's last record.
    const TextureEntry& operator[](unsigned index) const { return entries_[index]; }
    // Whether every pixel of picture `index` is fully opaque. Such a picture
    // looks the same drawn with or without blending, and blending a large one
    // (the 320x480 intro screen) is most of a software renderer's frame.
    bool opaque(unsigned index) const { return opaque_[index]; }
    const PictureStack& stack() const { return stack_; }
    // The board squares composed from their tiles (CellStack.h); made as the
    // squares are first drawn, so not const.
    CellStack& cells() { return cells_; }
    // The RGBA pixels of picture `index` (rows top first, its own width)
    // where it is as small as a tile (PictureStack::kLargestSide each way);
    // null for larger or missing pictures.
    const uint8_t* smallPixels(unsigned index) const {
        return index < small_.size() && !small_[index].empty() ? small_[index].data() : nullptr;
    }

private:
    std::vector<TextureEntry> entries_;
    std::vector<std::vector<uint8_t>> small_;
    Picture kept_;
    std::vector<bool> opaque_;
    PictureStack stack_;
    CellStack cells_;
};

extern TextureTable gTextures;

// Loads every picture of "./BrikResource.dat" into gTextures; see load().
int loadTextures(int keep = -1);

// Reads record `index` of a picture file without OpenGL, for tools. False
// when the file or the record is missing or damaged.
bool readPicture(const char* path, int index, Picture& picture);
