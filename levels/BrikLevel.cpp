#include "levels/BrikLevel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "audio/AudioRenderer.h"
#include "catalogue/Sound.h"
#include "pieces/Tetriminos.h"
#include "render/Renderer.h"

using namespace catalogue;

namespace {

constexpr int kSpawnColumn = 4;
constexpr int kSpawnRow = 18;     // a two- or three-row box ends on row 19
constexpr int kSpawnRowBar = 19;  // the flat bar is one row high
constexpr int kDropColumns = 9;   // dropped blocks never land in column 9
constexpr int kHoleChance = 7;    // rand() % 10 at or above this leaves a hole (3 in 10)
constexpr int kPointsPerPiece = 1;
constexpr int kPointsPerRow = 20;
constexpr float kSoftDropGrowth = 0.0625f;  // fallSpeed gained per ms of Down held
constexpr int32_t kSoftLockGain = 100;      // lock timer gained per update with Down held
constexpr int64_t kMusicFadeMs = 2000;
constexpr float kShakePerExtraRow = 20.0f;
constexpr float kShakeDecayMs = 20.0f;  // amplitude falls by 1 per 20 ms
constexpr float kShakePhaseMs = 50.0f;  // phase grows by 1 per 50 ms

// Screen layout of the playfield.
constexpr int kPreviewX = 200;
constexpr int kPreviewY = 25;
constexpr float kSwingRate = 1.5f;  // the field swings up and down 1.5 times as fast as it tilts

// The shared piece of each type code 0..6: O Z S L J T I.
Tetrimino* const kPieceOfType[kPieceCount] = {&gTetriminoO, &gTetriminoZ, &gTetriminoS,
                                              &gTetriminoL, &gTetriminoJ, &gTetriminoT,
                                              &gTetriminoI};

// A random colour number 1..7, one per piece colour.
int randomColour() {
    return std::rand() % kPieceCount + 1;
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
    board.clear();
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
        dropBlock(blockDropColour > 1 ? blockDropColour : randomColour());
    }
    if (garbageRowPeriod > 0 && --garbageRowCountdown <= 0) {
        garbageRowCountdown = garbageRowPeriod;
        raiseGarbageRow(garbageRowColour > 1 ? garbageRowColour : randomColour());
    }

    const int type = std::rand() % kPieceCount;
    current = next;
    next = kPieceOfType[type];
    column = kSpawnColumn;
    if (current == nullptr) {
        // A fresh level has no preview yet: the piece that falls now is drawn
        // after the preview's.
        const int firstType = std::rand() % kPieceCount;
        current = kPieceOfType[firstType];
        ++pieceCounts[firstType];
    } else if (nextType >= 0 && nextType < kPieceCount) {
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
    if (current->collides(column, row, board.cells)) {
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
    turnPiece();
    slidePiece(elapsed);
    landAndLock();
    fall(elapsed);
    placeOnScreen();
}

// A turn asked for, with the kick that keeps the turned box inside the board.
void BrikLevel::turnPiece() {
    if (rotateRequest == 0) {
        return;
    }
    rotateRequest = 0;
    const Kick kick = current->kickOffset(column, row);
    int turnedColumn = column + kick.dx;
    const int turnedRow = row + kick.dy;
    if (kick.dy != 0) {
        if (current->canRotate(turnedColumn, turnedRow, board.cells)) {
            current->rotate(turnedColumn);
            row = turnedRow;
            fallTime = 0;
            column = turnedColumn;
            gAudio->playSample(sound::kRotate);
        }
        return;
    }
    // Between two rows (fallTime running) the piece shows on both, so the
    // turned piece must fit on both.
    const bool fitsBelow = fallTime == 0 || current->canRotate(turnedColumn, row - 1, board.cells);
    if (fitsBelow && current->canRotate(turnedColumn, row, board.cells)) {
        current->rotate(turnedColumn);
        column = turnedColumn;
        gAudio->playSample(sound::kRotate);
    }
}

// Starts a sideways slide while an arrow is the last key held, and runs it.
void BrikLevel::slidePiece(int32_t elapsed) {
    bool slideStarted = false;
    if (slideKey == 0 && (lastKey == kKeyLeft || lastKey == kKeyRight)) {
        const int target = lastKey == kKeyLeft ? column - 1 : column + 1;
        bool free = !current->collides(target, row, board.cells);
        if (free && state != Landed && fallTime != 0) {
            free = !current->collides(target, row - 1, board.cells);
        }
        if (free) {
            slideTime = 0;
            slideKey = lastKey;
            slideStarted = true;
        }
    }
    if (slideKey == 0) {
        return;
    }
    // The move itself happens once, in the update that started the slide and
    // tested the way. Keying it on slideTime == 0 instead would move a second
    // time, untested, after a slide begun at a spawn (where no time passes),
    // letting a new piece jump two columns into filled cells.
    if (slideStarted) {
        column = slideKey == kKeyLeft ? std::max(column - 1, 0)
                                      : std::min(column + 1, kBoardColumns - 1);
    }
    slideTime = addSaturated(slideTime, elapsed);
    if (slideTime >= slideDuration) {
        slideTime = 0;
        slideKey = 0;
    }
}

// Lift-off once slid off its support; touch-down; and the lock once the lock
// timer has come round to 0.
void BrikLevel::landAndLock() {
    if (slideKey == 0 && state == Landed && !current->collides(column, row - 1, board.cells)) {
        state = Falling;
        fallTime = 0;
    }
    if (fallTime != 0 || !current->collides(column, row - 1, board.cells)) {
        return;
    }
    if (state == Falling) {
        state = Landed;
        gAudio->playSample(sound::kTouchDown);
    } else if (state == Landed) {
        current->place(column, row, board.cells);
        state = CheckRows;
    }
}

void BrikLevel::fall(int32_t elapsed) {
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
}

// Drawing position: during a smooth slide the piece starts on its old column
// and reaches the new one when the slide ends; during a smooth fall it moves
// down toward the next row as fallTime runs.
void BrikLevel::placeOnScreen() {
    int sideways = 0;
    if (smoothSlide && slideKey != 0 && slideDuration > 0) {
        const int32_t p = std::min(slideTime, slideDuration);
        const float square = static_cast<float>(kSquarePixels);
        if (slideKey == kKeyLeft) {
            sideways = static_cast<int>(
                square * static_cast<float>(p) / static_cast<float>(slideDuration) - square);
        } else {
            sideways = kSquarePixels - static_cast<int>(int64_t{kSquarePixels} * p / slideDuration);
        }
    }
    current->x = squareX(column) - sideways;

    int fallen = 0;
    if (smoothFall && state == Falling && interval > 0) {
        const int32_t q = std::min(fallTime, interval);
        fallen = static_cast<int>(static_cast<float>(kSquarePixels) * static_cast<float>(q) /
                                  static_cast<float>(interval));
    }
    current->y = squareY(row) + fallen;
}

void BrikLevel::checkRows(int64_t nowMs) {
    bool anyFull = false;
    for (int r = 0; r < kBoardRows; ++r) {
        if (!board.rowFull(r)) {
            continue;
        }
        anyFull = true;
        // The squares on both sides of a vanishing row stop looking joined to it.
        if (r > 0) {
            board.closeUpperEdges(r - 1);
        }
        board.closeUpperEdges(r);
        board.closeLowerEdges(r);
        if (r < kTopRow) {
            board.closeLowerEdges(r + 1);
        }
        board.markClearing(r);
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
    while (r < kBoardRows) {
        if (!board.rowFull(r)) {
            ++r;
            continue;
        }
        score += kPointsPerRow;
        ++cleared;
        --linesToGo;
        board.removeRow(r);  // row r now holds what was above it: test it again
    }
    if (cleared > 0) {
        gAudio->playSample(sound::kOneRow - 1 + cleared);  // five rows reuse the touch-down
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
        for (int r = 0; r < kBoardRows; ++r) {
            board.markClearing(r);
        }
        gRenderer->fade = 0.0f;
    }
}

void BrikLevel::fadeOutMusic(int64_t nowMs) {
    const int64_t d = nowMs - fadeStart;
    // d at or past the fade's end gives 0 without forming 127 * d.
    int64_t volume =
        d >= kMusicFadeMs ? 0 : sound::kFullVolume - (sound::kFullVolume * d) / kMusicFadeMs;
    volume = std::min<int64_t>(volume, sound::kFullVolume);
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
    board.dropBlock(std::rand() % kDropColumns, colourNumber);
}

void BrikLevel::raiseGarbageRow(int colourNumber) {
    bool holes[kBoardColumns];
    for (bool& hole : holes) {
        hole = std::rand() % 10 >= kHoleChance;
    }
    board.raiseGarbageRow(colourNumber, holes);
}

void BrikLevel::pushShake(float swingRate) const {
    gRenderer->pushTransform();
    if (shakeAmplitude > 0.0f) {
        const float swingPhase = swingRate * shakePhase;
        const double down =
            std::sin(static_cast<double>(swingPhase)) * static_cast<double>(shakeAmplitude);
        gRenderer->translate(0.0f, static_cast<float>(down));
        // A tilt of at most one degree about the screen's centre.
        constexpr float kCentreX = kScreenWidth / 2.0f;
        constexpr float kCentreY = kScreenHeight / 2.0f;
        gRenderer->translate(kCentreX, kCentreY);
        gRenderer->rotate(static_cast<float>(std::sin(static_cast<double>(shakePhase))));
        gRenderer->translate(-kCentreX, -kCentreY);
    }
}

void BrikLevel::draw() {
    pushShake(kSwingRate);
    gRenderer->drawBoard(board.cells);
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
        gRenderer->drawTextureCentered(kPlateCentreX, kPlateCentreY, kGameOver);
    }
    gRenderer->popTransform();
}
