// Any sequence of key presses, releases and clock steps driving the whole
// game flow through DuobrikApplication, with a silent renderer and audio:
// the flow must always have a level, and nothing may go out of bounds or
// overflow. Two bytes per event: what happens, then its key or step.

#include <cstdint>
#include <cstdlib>

#include "audio/AudioRenderer.h"
#include "game/Clock.h"
#include "game/DuobrikApplication.h"
#include "levels/BrikLevel.h"
#include "render/Renderer.h"
#include "support/SilentBackends.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentRenderer renderer;
    static SilentAudio audio;
    gRenderer = &renderer;
    gAudio = &audio;
    gCounter = scriptedClock();
    gScriptedNowMs = 1'000'000;
    DuobrikApplication app;
    app.init();
    for (size_t i = 0; i + 1 < size; i += 2) {
        const uint8_t what = data[i];
        const uint8_t arg = data[i + 1];
        switch (what % 8) {
            case 0:
                app.keyDown(arg);
                break;
            case 1:
                app.keyUp(arg);
                break;
            case 2:  // a long pause, as after a minimised window
                gScriptedNowMs += static_cast<int64_t>(arg) * 1000;
                break;
            case 3:  // the clock going backwards
                gScriptedNowMs -= arg;
                break;
            case 4:  // a level one row from winning
                if (auto* play = dynamic_cast<BrikLevel*>(app.level.get())) {
                    play->linesToGo = 1;
                    for (int c = 0; c < catalogue::kBoardColumns; ++c) {
                        play->board.setCell(c, 0, 1 + (c + arg) % 7);
                    }
                }
                break;
            default:
                gScriptedNowMs += arg;
                app.tick();
                app.render();
                break;
        }
        if (app.level == nullptr) {
            std::abort();
        }
    }
    return 0;
}
