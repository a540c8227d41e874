// Frame cost of the real levels drawn by OpenGLRenderer on an offscreen Mesa
// context, with a scripted clock: median and 99th percentile of
// tick + render + glFinish for the busy scenes, each drawn from the picture
// stack and the plain way, and a scene enlarged three times as on a large
// screen; the rules alone (updates per second); heap
// allocations per frame in play; and memory and threads at each level change
// of a 24-level run. Prints figures; asserts nothing.
//
// Usage: frame_bench [frames per scene] (run in the folder with the game's data)

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "audio/MikModRenderer.h"
#include "audio/SilentAudio.h"
#include "bench/ScriptedClock.h"
#include "game/Clock.h"
#include "game/DuobrikApplication.h"
#include "levels/DuobrikLevel.h"
#include "levels/DuobrikLevels.h"
#include "levels/IntroLevel.h"
#include "offscreen/OffscreenGL.h"
#include "render/FrameScaler.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"

// Counting allocator: every malloc and operator new of the process (Mesa's
// included) passes here while counting is on.
std::atomic<long> gNews{0};
std::atomic<long> gMallocs{0};
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);
extern "C" void* malloc(size_t n) {
    gMallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t size) {
    gMallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t n) {
    gMallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
extern "C" void free(void* p) {
    __libc_free(p);
}
void* operator new(size_t n) {
    gNews.fetch_add(1, std::memory_order_relaxed);
    void* p = __libc_malloc(n > 0 ? n : 1);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}
void* operator new[](size_t n) {
    return operator new(n);
}
void operator delete(void* p) noexcept {
    __libc_free(p);
}
void operator delete[](void* p) noexcept {
    __libc_free(p);
}
void operator delete(void* p, size_t) noexcept {
    __libc_free(p);
}
void operator delete[](void* p, size_t) noexcept {
    __libc_free(p);
}

namespace {

using Clock = std::chrono::steady_clock;

// Silence whose voices stand at a few different levels, so that the bands
// draw as they do while music plays.
class BandsAudio : public SilentAudio {
public:
    uint32_t voiceVolume(int voice) override { return 16000u * static_cast<uint32_t>(voice & 3); }
};

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

struct Figures {
    double median;
    double p99;
};

Figures summarise(std::vector<double>& t) {
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t[std::min(t.size() - 1, t.size() * 99 / 100)]};
}

// The surface of the enlarged scene, three times the picture. It has a
// context of its own: the other scenes are drawn on a surface of the
// picture's size, as in a window of that size (software OpenGL pays for a
// larger surface in every frame, drawn on or not).
constexpr int kLargeWidth = 960;
constexpr int kLargeHeight = 1440;

// Keys a player might press, arrows and Space most often.
constexpr int32_t kPlayKeys[] = {37, 39, 38, 32, 40, 37, 39};

struct Bench {
    OffscreenGL& gl;
    int frames;
    std::mt19937 random{2024};

    // One frame as the main loop makes it, timed.
    double frame(const std::function<void()>& tick, const std::function<void()>& render) {
        const Clock::time_point start = Clock::now();
        tick();
        gl.beginFrame();
        render();
        glFinish();
        return micros(Clock::now() - start);
    }

    void report(const char* scene, const std::function<void()>& setUp,
                const std::function<void()>& tick, const std::function<void()>& render) {
        std::printf("%-34s", scene);
        for (OpenGLRenderer::Drawing drawing :
             {OpenGLRenderer::Drawing::PerPicture, OpenGLRenderer::Drawing::Stacked}) {
            OpenGLRenderer renderer(drawing);
            gRenderer = &renderer;
            setUp();
            std::vector<double> times;
            for (int i = 0; i < frames + 30; ++i) {
                const double t = frame(tick, render);
                if (i >= 30) {  // the first frames compile Mesa's shaders
                    times.push_back(t);
                }
            }
            const Figures f = summarise(times);
            std::printf(" | %8.0f %8.0f", f.median, f.p99);
        }
        std::printf("\n");
        gRenderer = nullptr;
    }
};

// A play level as the game flow leaves it after start(), with the bottom
// `rows` rows filled with joined blocks.
std::unique_ptr<DuobrikLevel> playLevel(int classId, int rows) {
    std::unique_ptr<DuobrikLevel> level = makeDuobrikLevel(classId);
    level->linesToGo = 1000;
    level->start();
    for (int row = 0; row < rows; ++row) {
        for (int c = 0; c < catalogue::kBoardColumns; ++c) {
            if ((c + row) % 10 != 3) {
                level->board.setCell(c, row, 1 + (c / 2 + row) % 7);
            }
        }
        level->board.closeLowerEdges(row);
    }
    return level;
}

void frameCosts(Bench& bench, DuobrikApplication& app) {
    std::printf("\nFrame cost, microseconds of tick + render + glFinish (%d frames each)\n",
                bench.frames);
    std::printf("%-34s | %17s | %17s\n", "", "one bind per quad", "picture stack");
    std::printf("%-34s | %8s %8s | %8s %8s\n", "scene", "median", "p99", "median", "p99");

    auto tick = [&] {
        gScriptedNowMs += 16 + (gScriptedNowMs % 3 == 0 ? 1 : 0);
        app.tick();
    };
    auto render = [&] { app.render(); };
    auto keys = [&] {
        if (bench.random() % 8 == 0) {
            app.keyDown(kPlayKeys[bench.random() % 7]);
        }
        tick();
    };

    bench.report(
        "intro", [&] { app.level = std::make_unique<IntroLevel>(); }, tick, render);
    bench.report(
        "level 1 in play", [&] { app.level = playLevel(1, 0); }, keys, render);
    bench.report(
        "level 1, 12 rows filled", [&] { app.level = playLevel(1, 12); }, keys, render);
    bench.report(
        "DuobrikLevel9 preset board", [&] { app.level = playLevel(9, 0); }, keys, render);

    // The busiest picture: 19 rows, four of them darkening, the field shaking.
    DuobrikLevel* busy = nullptr;
    int step = 0;
    bench.report(
        "19 rows, 4 fading, shaking",
        [&] {
            auto level = playLevel(1, 19);
            for (int row = 0; row < 4; ++row) {
                level->board.markClearing(row);
            }
            busy = level.get();
            app.level = std::move(level);
        },
        [&] {
            ++step;
            gRenderer->fade = static_cast<float>(step % 30) / 30.0f;
            busy->shakeAmplitude = 60.0f - static_cast<float>(step % 60);
            busy->shakePhase = static_cast<float>(step) * 0.3f;
        },
        render);
}

// Level 1 in play enlarged to fill a 960x1440 screen, in a context of that
// size; the table's pictures move there for it.
void enlargedCost(int frames, DuobrikApplication& app) {
    gTextures.release();
    OffscreenGL large(kLargeWidth, kLargeHeight);
    loadTextures();
    Bench bench{large, frames};
    FrameScaler scaler;
    const catalogue::ScreenFit fit = catalogue::fitScreen(kLargeWidth, kLargeHeight);
    std::printf("\nEnlarged, microseconds of tick + render + enlarging + glFinish\n");
    bench.report(
        "level 1 in play, enlarged 3x", [&] { app.level = playLevel(1, 0); },
        [&] {
            gScriptedNowMs += 16;
            app.tick();
        },
        [&] {
            app.render();
            scaler.enlarge(fit, kLargeWidth, kLargeHeight);
        });
    scaler.release();
    gTextures.release();
}

void updateRate(DuobrikApplication& app) {
    OpenGLRenderer renderer;
    gRenderer = &renderer;
    std::mt19937 random(5);
    app.level = playLevel(1, 0);
    long updates = 0;
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(1)) {
        for (int i = 0; i < 1000; ++i) {
            if (random() % 16 == 0) {
                app.level->keyDown(kPlayKeys[random() % 7]);
            }
            gScriptedNowMs += 1 + random() % 16;
            app.tick();
            ++updates;
            const uint8_t state = app.level->state;
            if (state == GameOver || state == LevelComplete || state >= BrikState::WinWait) {
                app.level = playLevel(1, 0);
            }
        }
    }
    std::printf(
        "\nRules alone: %.0f updates per second (1..16 ms steps, no drawing)\n",
        static_cast<double>(updates) / std::chrono::duration<double>(Clock::now() - start).count());
    gRenderer = nullptr;
}

void allocations(Bench& bench, DuobrikApplication& app) {
    OpenGLRenderer renderer;
    gRenderer = &renderer;
    app.level = playLevel(1, 8);
    std::mt19937 random(11);
    auto step = [&] {
        if (random() % 8 == 0) {
            app.keyDown(kPlayKeys[random() % 7]);
        }
        gScriptedNowMs += 16;
    };
    for (int i = 0; i < 60; ++i) {  // warm up
        step();
        app.tick();
        bench.gl.beginFrame();
        app.render();
        glFinish();
    }
    long tickNews = 0, tickMallocs = 0, renderNews = 0, renderMallocs = 0;
    for (int i = 0; i < bench.frames; ++i) {
        step();
        long n0 = gNews, m0 = gMallocs;
        app.tick();
        long n1 = gNews, m1 = gMallocs;
        bench.gl.beginFrame();
        app.render();
        glFinish();
        tickNews += n1 - n0;
        tickMallocs += m1 - m0;
        renderNews += gNews - n1;
        renderMallocs += gMallocs - m1;
    }
    const double f = bench.frames;
    std::printf("\nHeap allocations per frame in play (%d frames)\n", bench.frames);
    std::printf("  tick (rules):                 %.3f operator new, %.3f malloc\n", tickNews / f,
                tickMallocs / f);
    std::printf("  render (drawing, Mesa incl.): %.3f operator new, %.3f malloc\n", renderNews / f,
                renderMallocs / f);
    gRenderer = nullptr;
}

struct ProcessFigures {
    long rssKb, hwmKb, threads;
};

ProcessFigures processFigures() {
    ProcessFigures p{0, 0, 0};
    FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    while (f != nullptr && std::fgets(line, sizeof line, f) != nullptr) {
        std::sscanf(line, "VmRSS: %ld", &p.rssKb);
        std::sscanf(line, "VmHWM: %ld", &p.hwmKb);
        std::sscanf(line, "Threads: %ld", &p.threads);
    }
    if (f != nullptr) {
        std::fclose(f);
    }
    return p;
}

// All 24 levels won in turn (a full bottom row and one row to go, Down held),
// with the real audio on SDL's dummy driver, so that its audio thread counts.
void levelRun(OffscreenGL& gl, DuobrikApplication& app) {
    OpenGLRenderer renderer;
    gRenderer = &renderer;
    AudioRenderer* silent = gAudio;
    MikModRenderer audio;
    gAudio = &audio;
    app.init();
    std::printf("\n24-level run: memory and threads at each level change\n");
    std::printf("%6s %10s %10s %8s %8s\n", "level", "RSS kB", "HWM kB", "threads", "frames");
    app.keyDown(32);  // leave the intro screen
    int32_t shown = -1;
    long frames = 0;
    int winScreens = 0;
    while (frames < 100000 && winScreens == 0) {
        gScriptedNowMs += 16;
        app.tick();
        gl.beginFrame();
        app.render();
        glFinish();
        ++frames;
        if (std::getenv("BENCH_TRACE") != nullptr && frames % 500 == 0) {
            std::printf("frame %ld level %d state %d\n", frames, app.levelNumber, app.level->state);
        }
        if (auto* play = dynamic_cast<BrikLevel*>(app.level.get())) {
            if (app.levelNumber != shown) {
                shown = app.levelNumber;
                const ProcessFigures p = processFigures();
                std::printf("%6d %10ld %10ld %8ld %8ld\n", shown, p.rssKb, p.hwmKb, p.threads,
                            frames);
                play->linesToGo = 1;
                for (int c = 0; c < catalogue::kBoardColumns; ++c) {
                    play->board.setCell(c, 0, 1 + c % 7);
                }
                play->board.closeLowerEdges(0);
                app.keyUp(32);
            }
            if (play->state == BrikState::WinWait || play->state == BrikState::LoseWait) {
                app.keyDown(32);
            } else {
                app.keyDown(40);
            }
        } else if (shown == DuobrikApplication::kLevelCount) {
            ++winScreens;
        } else if (shown > 0) {
            app.keyDown(32);  // a lost level went back to the intro: go on
            shown = -1;
        }
    }
    const ProcessFigures p = processFigures();
    std::printf("%6s %10ld %10ld %8ld %8ld\n", "end", p.rssKb, p.hwmKb, p.threads, frames);
    app.level.reset();
    gAudio = silent;
    gRenderer = nullptr;
}

// BENCH_PROFILE=plain|stacked: only the busiest scene, drawn one way, for
// a profiler (valgrind --tool=callgrind counts the same every run). With
// BENCH_ROWS=N, level 1 in play over N filled rows instead, still.
void profileScene(Bench& bench, DuobrikApplication& app, const char* profile, int frames) {
    OpenGLRenderer renderer(std::strcmp(profile, "plain") == 0 ? OpenGLRenderer::Drawing::PerPicture
                                                               : OpenGLRenderer::Drawing::Stacked);
    gRenderer = &renderer;
    const char* rows = std::getenv("BENCH_ROWS");
    auto level = playLevel(1, rows != nullptr ? std::atoi(rows) : 19);
    for (int row = 0; row < 4 && rows == nullptr; ++row) {
        level->board.markClearing(row);
    }
    DuobrikLevel* busy = level.get();
    app.level = std::move(level);
    srand(1);
    for (int i = 0; i < frames; ++i) {
        if (rows == nullptr) {
            renderer.fade = static_cast<float>(i % 30) / 30.0f;
            busy->shakeAmplitude = 60.0f - static_cast<float>(i % 60);
            busy->shakePhase = static_cast<float>(i) * 0.3f;
        }
        bench.frame(
            [&] {
                gScriptedNowMs += 16;
                app.tick();
            },
            [&] { app.render(); });
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;
    OffscreenGL gl;
    if (!gl.ok() || loadTextures() < 220) {
        std::fprintf(stderr,
                     "frame_bench: needs an offscreen OpenGL context and BrikResource.dat\n");
        return 1;
    }
    std::printf("GL renderer: %s, %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
    const PictureStack& stack = gTextures.stack();
    std::printf("Picture stack: %d layers of %dx%d\n", stack.depth(), stack.layerWidth(),
                stack.layerHeight());
    gCounter = scriptedClock();
    // Silence that records nothing, so that the game's own allocations are counted.
    BandsAudio audio;
    gAudio = &audio;
    OpenGLRenderer initial;
    gRenderer = &initial;
    DuobrikApplication app;
    app.init();
    gRenderer = nullptr;
    Bench bench{gl, frames};
    if (const char* profile = std::getenv("BENCH_PROFILE")) {
        profileScene(bench, app, profile, frames);
        return 0;
    }
    if (std::getenv("BENCH_ONLY_LEVELS") == nullptr) {
        frameCosts(bench, app);
        updateRate(app);
        allocations(bench, app);
    }
    levelRun(gl, app);
    if (std::getenv("BENCH_ONLY_LEVELS") == nullptr) {
        enlargedCost(frames, app);
    }
    return 0;
}
