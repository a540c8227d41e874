// Any sequence of key presses, releases and clock steps driving the whole
// game flow through DuobrikApplication, drawn into the main loop's draw list
// (nothing reaches a screen), with the silent audio. Two bytes per event:
// what happens, then its key or step. Beside the sanitizers' checks, after
// every event: the flow has a level, and a play level keeps what its rules
// promise (a falling piece inside the board and clear of the cells, cells
// either empty or filled), and drawing leaves the shared preview piece where
// it was.

#include <cstdint>
#include <cstdlib>

#include "app/DrawList.h"
#include "audio/SilentAudio.h"
#include "game/Clock.h"
#include "game/DuobrikApplication.h"
#include "levels/BrikLevel.h"
#include "pieces/Tetrimino.h"

namespace {

// The clock the game reads: it moves only when the input moves it.
int64_t gNowMs = 0;

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void checkPlay(const BrikLevel& play) {
    if (play.state == Falling || play.state == Landed) {
        check(play.current != nullptr && play.row >= 0 && play.row <= catalogue::kTopRow &&
              !play.current->collides(play.column, play.row, play.board.cells));
    }
    for (const Cell& cell : play.board.cells) {
        check(cell.empty <= 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static DrawList frame;
    static SilentAudio audio;
    gRenderer = &frame;
    gAudio = &audio;
    gCounter = {[] { return gNowMs; }, [] { return int64_t{1000}; }};
    gNowMs = 1'000'000;
    DuobrikApplication app;
    app.init();
    for (size_t i = 0; i + 1 < size; i += 2) {
        const uint8_t what = data[i];
        const uint8_t arg = data[i + 1];
        auto* play = dynamic_cast<BrikLevel*>(app.level.get());
        switch (what % 8) {
            case 0:
                app.keyDown(arg);
                break;
            case 1:
                app.keyUp(arg);
                break;
            case 2:  // a long pause, as after a minimised window
                gNowMs += static_cast<int64_t>(arg) * 1000;
                break;
            case 3:  // the clock going backwards
                gNowMs -= arg;
                break;
            case 4:  // a level one row from winning (never under a falling piece)
                if (play != nullptr && play->state != Falling && play->state != Landed) {
                    play->linesToGo = 1;
                    for (int c = 0; c < catalogue::kBoardColumns; ++c) {
                        play->board.setCell(c, 0, 1 + (c + arg) % 7);
                    }
                }
                break;
            default: {
                gNowMs += arg;
                app.tick();
                frame.startFrame();
                play = dynamic_cast<BrikLevel*>(app.level.get());
                const Tetrimino* preview = play != nullptr ? play->next : nullptr;
                const int orientation = preview ? preview->orientation : 0;
                const int x = preview ? preview->x : 0, y = preview ? preview->y : 0;
                app.render();
                check(!preview ||
                      (preview->orientation == orientation && preview->x == x && preview->y == y));
                if (!frame.sameAsShown()) {
                    frame.keepAsShown();
                }
                break;
            }
        }
        check(app.level != nullptr);
        if (auto* now = dynamic_cast<const BrikLevel*>(app.level.get())) {
            checkPlay(*now);
        }
    }
    return 0;
}
