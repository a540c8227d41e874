#pragma once
// Board squares composed from their nine tiles once, each into a layer of a
// single 3D texture, so that a square on the grid draws as one quad instead
// of nine. Software OpenGL pays for every small quad far more than for its
// pixels: a board with a dozen rows filled draws in about 60% of the time.
//
// A square's tiles must tile its 20x20 box exactly (as the game's own
// pictures do) and be small pictures of the table; then the composed layer
// holds, pixel for pixel, what the nine quads would draw, and a quad drawn on
// the pixel grid samples it exactly. A turned or shifted square (the
// playfield's shake) still draws its nine tiles, whose edges would round
// differently from one quad's. Squares that cannot be composed, and new ones
// once all layers are taken, draw their nine tiles too.
//
// The texture table owns its stack; layers are made as squares are first
// drawn and live until the table's pictures are released.

#include <cstdint>

#include "catalogue/Cell.h"

class TextureTable;

struct ComposedCell {
    float r;        // the layer's centre along the stack
    bool opaque;    // every pixel opaque: drawn without blending
    bool clearing;  // tiles of the clearing set: darkened by the renderer's fade
};

class CellStack {
public:
    // Layers of 32x32 pixels (a power of two that holds a 20x20 square).
    static constexpr int kSide = 32;
    static constexpr int kLayers = 256;

    CellStack() = default;
    CellStack(const CellStack&) = delete;
    CellStack& operator=(const CellStack&) = delete;

    struct Lookup {
        const ComposedCell* composed;  // null: the square draws its nine tiles
        bool unknown;                  // not seen yet: add() it
    };
    // What is known of `cell`'s square, without touching OpenGL (so that a
    // run of quads may stay open).
    Lookup find(const Cell& cell);
    // Composes `cell`'s square from `table`'s pictures into a new layer, or
    // notes that it cannot be. Needs the table's context current, and no
    // glBegin open. Null when it cannot be composed.
    const ComposedCell* add(const Cell& cell, const TextureTable& table);
    // Deletes the texture and forgets every layer; needs the context that made it.
    void release();

    uint32_t textureName() const { return textureName_; }
    // The square's right and bottom edges in layer coordinates.
    static constexpr float kEdge = 20.0f / kSide;

private:
    // Open addressing over twice the layers: lookups stay short, and nothing
    // is allocated while the game plays.
    static constexpr int kSlots = 2 * kLayers;
    struct Slot {
        uint8_t tiles[9];
        int16_t layer;  // -1: free; -2: known not to compose
        ComposedCell cell;
    };

    bool compose(const uint8_t* tiles, const TextureTable& table, ComposedCell& out);
    bool createTexture();
    // The slot holding `tiles`, or the free slot where they would go; null
    // when every slot is taken.
    Slot* slotFor(const uint8_t* tiles);

    uint32_t textureName_ = 0;
    bool unavailable_ = false;  // no 3D textures here
    int layers_ = 0;
    Slot slots_[kSlots] = {};
    bool slotsReady_ = false;
};
