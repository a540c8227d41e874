#include "levels/BrikLevel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "audio/AudioRenderer.h"
#include "pieces/Tetriminos.h"
#include "render/Renderer.h"

namespace {

// Key codes the rules read.
constexpr int32_t kKeySpace = 32;
constexpr int32_t kKeyLeft = 37;
constexpr int32_t kKeyUp = 38;
constexpr int32_t kKeyRight = 39;
constexpr int32_t kKeyDown = 40;
constexpr int32_t kHighestKey = 255;

// Sound effects by load order.
constexpr int kSampleRotate = 0;
constexpr int kSampleTouchDown = 5;

constexpr int kTopRow = BrikLevel::kRows - 1;
constexpr int kSpawnColumn = 4;
constexpr int kSpawnRow = 18;     // a two- or three-row box ends on row 19
constexpr int kSpawnRowBar = 19;  // the flat bar is one row high
constexpr int kDropColumns = 9;   // dropped blocks never land in column 9
constexpr int kDropTopRow = 9;    // highest row a dropped block rests on
constexpr int kHoleChance = 7;    // rand() % 10 at or above this leaves a hole (3 in 10)
constexpr int kPointsPerPiece = 1;
constexpr int kPointsPerRow = 20;
constexpr float kSoftDropGrowth = 0.0625f;  // fallSpeed gained per ms of Down held
constexpr int32_t kSoftLockGain = 100;      // lock timer gained per update with Down held
constexpr int64_t kMusicFadeMs = 2000;
constexpr int kFullVolume = 127;
constexpr float kShakePerExtraRow = 20.0f;
constexpr float kShakeDecayMs = 20.0f;  // amplitude falls by 1 per 20 ms
constexpr float kShakePhaseMs = 50.0f;  // phase grows by 1 per 50 ms

// Screen layout of the playfield.
constexpr int kSquare = 20;
constexpr int kBoardLeftInSquares = 3;   // board's left edge at x 60
constexpr int kBoardBaseInSquares = 22;  // row 0's top edge at y 440
constexpr int kPreviewX = 200;
constexpr int kPreviewY = 25;
constexpr int kGameOverX = 160;
constexpr int kGameOverY = 400;
constexpr unsigned kGameOverTexture = 198;
constexpr float kCentreX = 160.0f;  // the tilt turns about the window centre
constexpr float kCentreY = 240.0f;

// First texture index of the tile set of colour numbers 1..7; any other
// number gets the clearing set.
constexpr uint8_t kColourBase[8] = {
    148,  // not a colour: the clearing tile set
    128,  // 1, as TetriminoI
    86,   // 2, as TetriminoZ
    22,   // 3, as TetriminoO
    63,   // 4, as TetriminoS
    106,  // 5, as TetriminoJ
    168,  // 6, as TetriminoL
    42,   // 7, as TetriminoT
};
constexpr uint8_t kClearingBase = 148;
constexpr uint8_t kOBase = 22;  // the only set whose pictures use offset 19
constexpr int kTilesPerSet = 20;

// A square closed on all four sides: tiles 1..9 as offsets into its set.
constexpr uint8_t kSingleBlock[9] = {0, 2, 3, 5, 6, 7, 8, 10, 11};

// Closing an edge: offset replacements for the three tiles of the bottom band
// (tiles 1, 2, 3) and of the top band (tiles 7, 8, 9). Each is the joining
// rule with "the piece continues below/above" made false. 0xFF: no entry.
struct OffsetSwap {
    uint8_t from;
    uint8_t to;
};
constexpr uint8_t kNone = 0xFF;
constexpr uint8_t kJoinedCorner = 19;
// clang-format off
constexpr OffsetSwap kCloseBottom[3][3] = {
    /* tile 1 */ {{1, 13}, {14, 0},  {19, 13}},
    /* tile 2 */ {{15, 2}, {kNone, kNone}, {kNone, kNone}},
    /* tile 3 */ {{4, 13}, {16, 3},  {19, 13}},
};
constexpr OffsetSwap kCloseTop[3][3] = {
    /* tile 7 */ {{9, 18},  {14, 8},  {19, 18}},
    /* tile 8 */ {{15, 10}, {kNone, kNone}, {kNone, kNone}},
    /* tile 9 */ {{12, 18}, {16, 11}, {19, 18}},
};
// clang-format on

// The shared piece of each type code 0..6: O Z S L J T I.
Tetrimino* const kPieceOfType[7] = {&gTetriminoO, &gTetriminoZ, &gTetriminoS, &gTetriminoL,
                                    &gTetriminoJ, &gTetriminoT, &gTetriminoI};

// The piece tile set (one of the seven) that holds `tile`, as its base; the
// clearing base when none does.
uint8_t pieceSetOf(uint8_t tile) {
    for (int colour = 1; colour <= 7; ++colour) {
        const uint8_t base = kColourBase[colour];
        if (tile >= base && tile < base + kTilesPerSet) {
            return base;
        }
    }
    return kClearingBase;
}

void closeBand(Cell& cell, int firstTile, const OffsetSwap (&swaps)[3][3]) {
    for (int k = 0; k < 3; ++k) {
        uint8_t& tile = cell.tiles[firstTile + k];
        const uint8_t base = pieceSetOf(tile);
        if (base == kClearingBase) {
            continue;
        }
        const uint8_t offset = static_cast<uint8_t>(tile - base);
        for (const OffsetSwap& swap : swaps[k]) {
            if (swap.from != offset || (swap.from == kJoinedCorner && base != kOBase)) {
                continue;
            }
            tile = static_cast<uint8_t>(base + swap.to);
            break;
        }
    }
}

// Long pauses arrive as one huge step; timers are 32-bit, so sums saturate
// instead of wrapping (a wrapped timer would run backwards).
int32_t addSaturated(int32_t a, int64_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t truncateToTimer(float value) {
    // 2^31 is the first float past the 32-bit range; NaN lands here too.
    if (!(value < 2147483648.0f)) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < -2147483648.0f) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

}  // namespace

BrikLevel::BrikLevel() = default;

void BrikLevel::start() {
    shakeAmplitude = 0.0f;
    for (Cell& cell : board) {
        cell.empty = 1;
    }
    blockDropCountdown = blockDropPeriod;
    garbageRowCountdown = garbageRowPeriod;
    state = Spawn;
    lastKey = 0;
    downHeld = 0;
    rotateRequest = 0;
}

void BrikLevel::keyDown(int32_t key) {
    if (key < 0 || key > kHighestKey) {
        return;  // not a key code: it must not alias an arrow in 16 bits
    }
    lastKey = static_cast<uint16_t>(key);
    if (key == kKeyDown) {
        downHeld = 1;
    } else if (key == kKeySpace || key == kKeyUp) {
        rotateRequest = 1;
    }
}

void BrikLevel::keyUp(int32_t key) {
    if (key < 0 || key > kHighestKey) {
        return;
    }
    if (lastKey == key) {
        lastKey = 0;
    }
    if (key == kKeyDown) {
        fallSpeed = 1.0f;
        downHeld = 0;
    } else if (key == kKeySpace) {
        // Space withdraws a turn not yet made; Up leaves it pending, so a
        // quick tap of Up between two updates still turns the piece.
        rotateRequest = 0;
    }
}

void BrikLevel::setCell(int column, int row, int colourNumber) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) {
        return;
    }
    const uint8_t base = kColourBase[colourNumber >= 1 && colourNumber <= 7 ? colourNumber : 0];
    Cell& cell = cellAt(column, row);
    cell.empty = 0;
    for (int k = 0; k < 9; ++k) {
        cell.tiles[k] = static_cast<uint8_t>(base + kSingleBlock[k]);
    }
}

bool BrikLevel::rowFull(int row) const {
    for (int c = 0; c < kColumns; ++c) {
        if (!cellAt(c, row).filled()) {
            return false;
        }
    }
    return true;
}

void BrikLevel::update(int64_t nowMs, int64_t elapsedMs) {
    int32_t elapsed = static_cast<int32_t>(
        std::clamp<int64_t>(elapsedMs, 0, std::numeric_limits<int32_t>::max()));
    switch (state) {
        case Spawn:
            spawnPiece(elapsed);
            steer(elapsed);
            break;
        case Falling:
        case Landed:
            steer(elapsed);
            break;
        case CheckRows:
            checkRows(nowMs);
            break;
        case ClearFade:
            fadeRows(nowMs);
            break;
        case Collapse:
            collapseRows();
            break;
        case WinWait:
        case LoseWait:
            waitForKey(nowMs);
            break;
        case WinFadeOut:
        case LoseFadeOut:
            fadeOutMusic(nowMs);
            break;
        default:
            break;  // LevelComplete / GameOver: the game flow takes over
    }
    decayShake(elapsed);
}

void BrikLevel::spawnPiece(int32_t& elapsed) {
    // Hazards act before the new piece is taken, so that a garbage row can
    // make it collide. Each draws its colour before its own placement.
    if (blockDropPeriod > 0 && --blockDropCountdown <= 0) {
        blockDropCountdown = blockDropPeriod;
        dropBlock(blockDropColour > 1 ? blockDropColour : std::rand() % 7 + 1);
    }
    if (garbageRowPeriod > 0 && --garbageRowCountdown <= 0) {
        garbageRowCountdown = garbageRowPeriod;
        raiseGarbageRow(garbageRowColour > 1 ? garbageRowColour : std::rand() % 7 + 1);
    }

    const int type = std::rand() % 7;
    current = next;
    next = kPieceOfType[type];
    column = kSpawnColumn;
    if (current == nullptr) {
        // A fresh level has no preview yet: the piece that falls now is drawn
        // after the preview's.
        const int firstType = std::rand() % 7;
        current = kPieceOfType[firstType];
        ++pieceCounts[firstType];
    } else if (nextType >= 0 && nextType < 7) {
        ++pieceCounts[nextType];
    }
    nextType = type;

    row = current == &gTetriminoI ? kSpawnRowBar : kSpawnRow;
    current->orientation = 0;
    slideKey = 0;
    downHeld = 0;
    slideTime = 0;
    fallTime = 0;
    state = Falling;
    fallSpeed = 1.0f;
    if (current->collides(column, row, board)) {
        state = LoseWait;
        lastKey = 0;
        downHeld = 0;
        rotateRequest = 0;
    }
    elapsed = 0;  // no time passes for the new piece in its first update
}

void BrikLevel::steer(int32_t elapsed) {
    if (current == nullptr) {
        return;
    }

    // Turn, with the kick that keeps the turned box inside the board.
    if (rotateRequest != 0) {
        rotateRequest = 0;
        const Kick kick = current->kickOffset(column, row, board);
        int turnedColumn = column + kick.dx;
        const int turnedRow = row + kick.dy;
        if (kick.dy != 0) {
            if (current->canRotate(turnedColumn, turnedRow, board)) {
                current->rotate(turnedColumn, row, board);
                row = turnedRow;
                fallTime = 0;
                column = turnedColumn;
                gAudio->playSample(kSampleRotate);
            }
        } else {
            // Between two rows (fallTime running) the piece shows on both, so
            // the turned piece must fit on both.
            const bool fitsBelow =
                fallTime == 0 || current->canRotate(turnedColumn, row - 1, board);
            if (fitsBelow && current->canRotate(turnedColumn, row, board)) {
                current->rotate(turnedColumn, row, board);
                column = turnedColumn;
                gAudio->playSample(kSampleRotate);
            }
        }
    }

    // Start a sideways move while an arrow is the last key held.
    bool slideStarted = false;
    if (slideKey == 0 && (lastKey == kKeyLeft || lastKey == kKeyRight)) {
        const int target = lastKey == kKeyLeft ? column - 1 : column + 1;
        bool free = !current->collides(target, row, board);
        if (free && state != Landed && fallTime != 0) {
            free = !current->collides(target, row - 1, board);
        }
        if (free) {
            slideTime = 0;
            slideKey = lastKey;
            slideStarted = true;
        }
    }

    // The move itself happens once, in the update that started the slide and
    // tested the way. Keying it on slideTime == 0 instead would move a second
    // time, untested, after a slide begun at a spawn (where no time passes),
    // letting a new piece jump two columns into filled cells.
    if (slideKey != 0) {
        if (slideStarted) {
            column =
                slideKey == kKeyLeft ? std::max(column - 1, 0) : std::min(column + 1, kColumns - 1);
        }
        slideTime = addSaturated(slideTime, elapsed);
        if (slideTime >= slideDuration) {
            slideTime = 0;
            slideKey = 0;
        }
    }

    // Lift-off: slid off its support, the piece falls again.
    if (slideKey == 0 && state == Landed && !current->collides(column, row - 1, board)) {
        state = Falling;
        fallTime = 0;
    }

    // Touch-down, and the lock once the lock timer has come round to 0.
    if (fallTime == 0 && current->collides(column, row - 1, board)) {
        if (state == Falling) {
            state = Landed;
            gAudio->playSample(kSampleTouchDown);
        } else if (state == Landed) {
            current->place(column, row, board);
            state = CheckRows;
        }
    }

    if (state == Falling) {
        if (downHeld != 0) {
            // Counted per update, so the soft drop is quicker at higher frame rates.
            fallSpeed += static_cast<float>(elapsed) * kSoftDropGrowth;
        }
        fallTime =
            truncateToTimer(static_cast<float>(fallTime) + static_cast<float>(elapsed) * fallSpeed);
        if (fallTime >= interval) {
            --row;  // at most one row per update; the rest of the time is dropped
            fallTime = 0;
        }
    } else if (state == Landed) {
        fallTime = addSaturated(fallTime, downHeld != 0 ? kSoftLockGain : elapsed);
        if (fallTime >= interval) {
            fallTime = 0;  // the next update locks the piece if it still rests
        }
    }

    // Drawing position: during a smooth slide the piece starts on its old
    // column and reaches the new one when the slide ends.
    int sideways = 0;
    if (smoothSlide && slideKey != 0 && slideDuration > 0) {
        const int32_t p = std::min(slideTime, slideDuration);
        if (slideKey == kKeyLeft) {
            sideways = static_cast<int>(static_cast<float>(kSquare) * static_cast<float>(p) /
                                            static_cast<float>(slideDuration) -
                                        static_cast<float>(kSquare));
        } else {
            sideways = kSquare - static_cast<int>(int64_t{kSquare} * p / slideDuration);
        }
    }
    current->x = (column + kBoardLeftInSquares) * kSquare - sideways;

    int fallen = 0;
    if (smoothFall && state == Falling && interval > 0) {
        const int32_t q = std::min(fallTime, interval);
        fallen = static_cast<int>(static_cast<float>(kSquare) * static_cast<float>(q) /
                                  static_cast<float>(interval));
    }
    current->y = (kBoardBaseInSquares - row) * kSquare + fallen;
}

void BrikLevel::checkRows(int64_t nowMs) {
    bool anyFull = false;
    for (int r = 0; r < kRows; ++r) {
        if (!rowFull(r)) {
            continue;
        }
        anyFull = true;
        // The squares on both sides of a vanishing row stop looking joined to it.
        if (r > 0) {
            closeUpperEdges(r - 1);
        }
        closeUpperEdges(r);
        closeLowerEdges(r);
        if (r < kTopRow) {
            closeLowerEdges(r + 1);
        }
        markClearing(r);
    }
    if (anyFull) {
        clearStart = nowMs;
        current = nullptr;  // the piece is part of the board now
        state = ClearFade;
        gRenderer->fade = 0.0f;
    } else {
        score += kPointsPerPiece;
        state = Spawn;
    }
}

void BrikLevel::fadeRows(int64_t nowMs) {
    float t = 1.0f;
    if (clearDuration > 0) {
        t = std::max(0.0f,
                     static_cast<float>(nowMs - clearStart) / static_cast<float>(clearDuration));
    }
    if (t >= 1.0f) {
        t = 1.0f;
        state = Collapse;
    }
    gRenderer->fade = t;
}

void BrikLevel::collapseRows() {
    int cleared = 0;
    int r = 0;
    while (r < kRows) {
        if (!rowFull(r)) {
            ++r;
            continue;
        }
        score += kPointsPerRow;
        ++cleared;
        --linesToGo;
        for (int c = 0; c < kColumns; ++c) {
            for (int i = r; i < kTopRow; ++i) {
                cellAt(c, i) = cellAt(c, i + 1);
            }
            cellAt(c, kTopRow).empty = 1;
        }
        // Row r now holds what was above it: test it again.
    }
    if (cleared > 0) {
        gAudio->playSample(cleared);  // samples 1..4 by rows; 5 rows reuse 5
        shakePhase = 0.0f;
        shakeAmplitude = kShakePerExtraRow * static_cast<float>(cleared - 1);
    }
    if (linesToGo > 0) {
        state = Spawn;
    } else {
        state = WinWait;
        lastKey = 0;
        downHeld = 0;
        rotateRequest = 0;
    }
}

void BrikLevel::waitForKey(int64_t nowMs) {
    const bool lost = state == LoseWait;
    if (lost) {
        current = nullptr;
    }
    if (lastKey != 0 || downHeld != 0 || rotateRequest != 0) {
        fadeStart = nowMs;
        state = lost ? LoseFadeOut : WinFadeOut;
    }
    if (lost) {
        for (int r = 0; r < kRows; ++r) {
            markClearing(r);
        }
    }
}

void BrikLevel::fadeOutMusic(int64_t nowMs) {
    const int64_t d = nowMs - fadeStart;
    // d at or past the fade's end gives 0 without forming 127 * d.
    int64_t volume = d >= kMusicFadeMs ? 0 : kFullVolume - (kFullVolume * d) / kMusicFadeMs;
    volume = std::min<int64_t>(volume, kFullVolume);
    if (volume <= 0) {
        volume = 0;
        state = state == WinFadeOut ? LevelComplete : GameOver;
    }
    gAudio->setMusicVolume(static_cast<int>(volume));
}

void BrikLevel::decayShake(int32_t elapsed) {
    if (shakeAmplitude > 0.0f) {
        const float e = static_cast<float>(elapsed);
        shakePhase += e / kShakePhaseMs;
        shakeAmplitude -= std::max(0.0f, e / kShakeDecayMs);
    }
}

void BrikLevel::dropBlock(int colourNumber) {
    const int c = std::rand() % kDropColumns;
    if (cellAt(c, kDropTopRow).filled()) {
        return;
    }
    int r = kDropTopRow;
    while (r > 0 && !cellAt(c, r - 1).filled()) {
        --r;
    }
    setCell(c, r, colourNumber);
}

void BrikLevel::raiseGarbageRow(int colourNumber) {
    for (int c = 0; c < kColumns; ++c) {
        for (int i = kTopRow - 1; i >= 0; --i) {
            cellAt(c, i + 1) = cellAt(c, i);
        }
    }
    bool hole = false;
    for (int c = 0; c < kColumns; ++c) {
        if (std::rand() % 10 >= kHoleChance) {
            cellAt(c, 0).empty = 1;
            hole = true;
        } else {
            setCell(c, 0, colourNumber);
        }
    }
    if (!hole) {
        cellAt(0, 0).empty = 1;  // a garbage row can never be cleared outright
    }
}

void BrikLevel::closeLowerEdges(int row) {
    if (row < 0 || row >= kRows) {
        return;
    }
    for (int c = 0; c < kColumns; ++c) {
        closeBand(cellAt(c, row), 0, kCloseBottom);
    }
}

void BrikLevel::closeUpperEdges(int row) {
    if (row < 0 || row >= kRows) {
        return;
    }
    for (int c = 0; c < kColumns; ++c) {
        closeBand(cellAt(c, row), 6, kCloseTop);
    }
}

void BrikLevel::markClearing(int row) {
    if (row < 0 || row >= kRows) {
        return;
    }
    for (int c = 0; c < kColumns; ++c) {
        Cell& cell = cellAt(c, row);
        // Tile 1 names the set, filled or not; the shift keeps each tile's
        // offset. Tiles are 8-bit, so the shift wraps like the tiles do.
        const uint8_t shift = static_cast<uint8_t>(kClearingBase - pieceSetOf(cell.tiles[0]));
        for (uint8_t& tile : cell.tiles) {
            tile = static_cast<uint8_t>(tile + shift);
        }
    }
    gRenderer->fade = 0.0f;
}

void BrikLevel::draw() {
    gRenderer->pushTransform();
    if (shakeAmplitude > 0.0f) {
        const float swingPhase = 1.5f * shakePhase;
        const double down =
            std::sin(static_cast<double>(swingPhase)) * static_cast<double>(shakeAmplitude);
        gRenderer->translate(0.0f, static_cast<float>(down));
        // A tilt of at most one degree about the window centre.
        gRenderer->translate(kCentreX, kCentreY);
        gRenderer->rotate(static_cast<float>(std::sin(static_cast<double>(shakePhase))));
        gRenderer->translate(-kCentreX, -kCentreY);
    }
    gRenderer->drawBoard(board);
    if (current != nullptr) {
        current->draw();
    }
    if (next != nullptr) {
        // `next` may be the same shared object as `current`, whose position
        // and orientation the rules own: borrow them for the preview only.
        const int8_t savedOrientation = next->orientation;
        const int32_t savedX = next->x;
        const int32_t savedY = next->y;
        next->orientation = 0;
        next->x = kPreviewX;
        next->y = kPreviewY;
        next->draw();
        next->orientation = savedOrientation;
        next->x = savedX;
        next->y = savedY;
    }
    if (state == LoseWait || state == LoseFadeOut) {
        gRenderer->drawTextureCentered(kGameOverX, kGameOverY, kGameOverTexture);
    }
    gRenderer->popTransform();
}
