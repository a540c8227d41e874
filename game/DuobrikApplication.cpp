#include "game/DuobrikApplication.h"

#include <memory>

#include "catalogue/Catalogue.h"
#include "levels/DuobrikLevels.h"
#include "levels/IntroLevel.h"
#include "levels/WinLevel.h"

namespace {

// Whether a level starts with zero counters or with those of the level before.
enum Counters : bool { Zero = false, Carried = true };

struct LevelEntry {
    int classId;  // 1: DuobrikLevel, 2..10: DuobrikLevel2..DuobrikLevel10
    int32_t interval;
    int32_t linesToGo;
    int32_t blockDropPeriod;
    int32_t garbageRowPeriod;
    int32_t musicSection;
    Counters counters;
};

// The levels in order of play. The first three start from zero, so a game's
// score only begins to count from level 3's end on.
constexpr LevelEntry kLevelList[DuobrikApplication::kLevelCount] = {
    // class interval lines drop garbage music counters
    {1, 800, 8, 0, 0, 0, Zero},       //  1
    {1, 700, 10, 0, 0, 0, Zero},      //  2
    {1, 600, 12, 0, 0, 0, Zero},      //  3
    {2, 600, 10, 0, 0, 0, Carried},   //  4
    {3, 500, 12, 0, 0, 1, Carried},   //  5
    {4, 400, 14, 0, 0, 2, Carried},   //  6
    {5, 350, 14, 0, 0, 0, Carried},   //  7
    {6, 300, 14, 0, 0, 1, Carried},   //  8
    {1, 280, 10, 6, 0, 2, Carried},   //  9
    {1, 260, 8, 0, 10, 0, Carried},   // 10
    {1, 240, 8, 4, 7, 1, Carried},    // 11
    {7, 240, 10, 8, 0, 2, Carried},   // 12
    {8, 220, 12, 6, 0, 1, Carried},   // 13
    {9, 200, 15, 4, 0, 2, Carried},   // 14
    {10, 180, 18, 0, 0, 0, Carried},  // 15
    {2, 160, 18, 2, 0, 1, Carried},   // 16
    {3, 140, 18, 2, 12, 2, Carried},  // 17
    {4, 120, 18, 0, 0, 0, Carried},   // 18
    {5, 100, 18, 0, 0, 1, Carried},   // 19
    {6, 80, 18, 0, 0, 2, Carried},    // 20
    {7, 60, 18, 0, 0, 0, Carried},    // 21
    {8, 40, 18, 0, 0, 1, Carried},    // 22
    {9, 30, 18, 0, 0, 1, Carried},    // 23
    {10, 20, 18, 0, 0, 1, Carried},   // 24
};

}  // namespace

void DuobrikApplication::init() {
    BrikApplication::init();
    level = std::make_unique<IntroLevel>();
    level->start();
}

void DuobrikApplication::tick() {
    switch (level->state) {
        case StartGame:
            levelNumber = 0;
            nextLevel();
            break;
        case LevelComplete:
            nextLevel();
            break;
        case GameOver:
            keepCounters();
            level.reset();
            // Not started: the intro after a lost game is silent.
            level = std::make_unique<IntroLevel>();
            break;
        case BackToIntro:
            level.reset();
            // Not started either: the win screen's intro music plays on.
            level = std::make_unique<IntroLevel>();
            break;
        default:
            break;
    }
    BrikApplication::tick();
}

void DuobrikApplication::keepCounters() {
    if (const auto* play = dynamic_cast<const BrikLevel*>(level.get())) {
        score = play->score;
        for (int t = 0; t < catalogue::kPieceCount; ++t) {
            pieceCounts[t] = play->pieceCounts[t];
        }
    }
}

void DuobrikApplication::nextLevel() {
    keepCounters();
    level.reset();
    ++levelNumber;

    // The list ends with level 24: the player has finished the game.
    if (levelNumber < 1 || levelNumber > kLevelCount) {
        auto win = std::make_unique<WinLevel>();
        win->score = score;
        level = std::move(win);
        level->start();
        return;
    }

    const LevelEntry& entry = kLevelList[levelNumber - 1];
    std::unique_ptr<DuobrikLevel> play = makeDuobrikLevel(entry.classId);
    play->interval = entry.interval;
    play->linesToGo = entry.linesToGo;
    play->musicSection = entry.musicSection;
    // Zero periods are the level's own defaults and stay untouched.
    if (entry.blockDropPeriod != 0) {
        play->blockDropPeriod = entry.blockDropPeriod;
    }
    if (entry.garbageRowPeriod != 0) {
        play->garbageRowPeriod = entry.garbageRowPeriod;
    }
    const bool carried = entry.counters == Carried;
    play->score = carried ? score : 0;
    for (int t = 0; t < catalogue::kPieceCount; ++t) {
        play->pieceCounts[t] = carried ? pieceCounts[t] : 0;
    }
    level = std::move(play);
    level->start();
}
