#pragma once
// The twenty tiles of one colour, from which the game draws every square of
// that colour as a 3 x 3 patch. A tile's offset in the set names its role;
// `joinOffsets` is the rule that picks the nine roles from a square's
// neighbours, and the tiles are cut from squares shaded with those
// neighbours present, so joined sides of a piece carry no edge.
//
// Every tile has the size of the patch position it is drawn at: corners are
// kCorner square, edges kCorner deep and kMiddle long, the centre kMiddle
// square, so any combination fills the 20 x 20 box exactly.

#include <array>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "tools/artgen/Bevel.h"
#include "tools/artgen/Image.h"

namespace tiles {

constexpr int kSquare = catalogue::kSquarePixels;
constexpr int kCorner = 3;                      // outline pixel plus a 2-pixel bevel
constexpr int kMiddle = kSquare - 2 * kCorner;  // 14
constexpr int kSetSize = catalogue::kTileSetSize;

// Which neighbours of a square belong to the same piece, and the joining
// rule that turns them into tile offsets: the catalogue's, which the game's
// piece pictures are held to.
using catalogue::joinOffsets;
using catalogue::Neighbours;

// Top-left corner and size of tile k (1..9) inside the 20 x 20 box, y down.
struct Rect {
    int x, y, w, h;
};
Rect tileRect(int k);

// The base colour's shading for squares: dark outline, light and dark bevel.
Shading blockShading(Rgba base);

// The square for neighbours `n`, shaded, 20 x 20.
Image shadeSquare(const Neighbours& n, const Shading& shading);

// The twenty tiles. Fails (returns false, says why in `error`) if a role
// would need different pixels in two of the places it is drawn.
bool buildSet(const Shading& shading, std::vector<Image>& set, std::string& error);

// A square drawn from a set the way the game draws it, for previews.
Image assemble(const std::vector<Image>& set, const Neighbours& n);

}  // namespace tiles
