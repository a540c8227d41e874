// A soak for the sanitizers: whole games through DuobrikApplication and the
// game flow, drawn into the main loop's draw list (nothing reaches a
// screen), with the silent audio and a clock that jumps by
// random steps. Some levels are made winnable at once, so that games also
// climb the level list and reach the win screen. Exits non-zero when the
// flow ever leaves the application without a level.
//
// Usage: game_soak [games] [seed]

#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/DrawList.h"
#include "audio/SilentAudio.h"
#include "bench/ScriptedClock.h"
#include "game/DuobrikApplication.h"
#include "levels/BrikLevel.h"
#include "levels/IntroLevel.h"
#include "levels/WinLevel.h"

namespace {

// Arrows and Space most often, Down held for speed, and some odd codes.
constexpr int32_t kKeys[] = {37, 39, 40, 40, 40, 40, 38, 32, 37, 39, 27, 13, 0, 255, 65};

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::mt19937 random(argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1u);
    gCounter = scriptedClock();
    DrawList frame;
    SilentAudio audio;
    gRenderer = &frame;
    gAudio = &audio;
    DuobrikApplication app;
    app.init();

    int played = 0;
    long frames = 0;
    int deepest = 0;
    int winScreens = 0;
    bool inGame = false;
    int32_t lastLevel = 0;
    while (played < games) {
        if (random() % 4 == 0) {
            const int32_t key = kKeys[random() % (sizeof kKeys / sizeof kKeys[0])];
            app.keyDown(key);
            if (random() % 2 == 0) {
                app.keyUp(key);
            }
        }
        gScriptedNowMs += 1 + static_cast<int64_t>(random() % 120);
        frame.startFrame();
        app.tick();
        app.render();
        ++frames;
        if (app.level == nullptr) {
            std::fprintf(stderr, "game_soak: no level after frame %ld\n", frames);
            return 1;
        }
        auto* play = dynamic_cast<BrikLevel*>(app.level.get());
        if (play != nullptr) {
            inGame = true;
            if (app.levelNumber != lastLevel) {
                lastLevel = app.levelNumber;
                deepest = deepest > lastLevel ? deepest : lastLevel;
                // Two levels in three are won at the first locked piece.
                if (random() % 3 != 0) {
                    play->linesToGo = 1;
                    for (int c = 0; c < catalogue::kBoardColumns; ++c) {
                        play->board.setCell(c, 0, 1 + c % 7);
                    }
                }
            }
        } else if (inGame) {
            // Back at the intro (lost) or at the win screen: one game played.
            inGame = false;
            lastLevel = 0;
            ++played;
            winScreens += dynamic_cast<WinLevel*>(app.level.get()) != nullptr ? 1 : 0;
        }
    }
    std::printf("game_soak: %d games, %ld frames, deepest level %d, %d win screens\n", played,
                frames, deepest, winScreens);
    return 0;
}
