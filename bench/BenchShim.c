/* Preloaded into the programs that `make bench` measures, which stay as
 * they are built:
 * - notes when the first frame is swapped (FIRST_SWAP_FILE);
 * - counts the audio callbacks, the processor time spent in them and the
 *   blocks handed to SDL_QueueAudio, in a file the benchmark reads while the
 *   program runs (BENCH_COUNTERS, three 64-bit counters);
 * - writes the disk audio driver's file unbuffered (BENCH_UNBUFFERED names
 *   it): C's buffer would hold every other block back until the next one,
 *   and the benchmark times each block by when it reaches the file. */
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

struct Counters {
    uint64_t callbacks;
    uint64_t callbackNs; /* processor time of the audio thread inside them */
    uint64_t queued;
};

static struct Counters* counters(void) {
    static struct Counters* shared;
    static int tried;
    if (!tried) {
        tried = 1;
        const char* path = getenv("BENCH_COUNTERS");
        int fd = path ? open(path, O_RDWR | O_CREAT, 0644) : -1;
        if (fd >= 0 && ftruncate(fd, sizeof(struct Counters)) == 0) {
            void* map = mmap(NULL, sizeof(struct Counters), PROT_READ | PROT_WRITE, MAP_SHARED,
                             fd, 0);
            shared = map == MAP_FAILED ? NULL : map;
        }
        if (fd >= 0) close(fd);
    }
    return shared;
}

static void add(uint64_t* counter, uint64_t amount) {
    __atomic_fetch_add(counter, amount, __ATOMIC_RELAXED);
}

static uint64_t threadNs(void) {
    struct timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (uint64_t)t.tv_sec * 1000000000u + (uint64_t)t.tv_nsec;
}

void SDL_GL_SwapWindow(SDL_Window* window) {
    static void (*real)(SDL_Window*);
    static int done;
    if (!real) real = (void (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    if (!done) {
        done = 1;
        struct timespec t;
        clock_gettime(CLOCK_REALTIME, &t);
        const char* path = getenv("FIRST_SWAP_FILE");
        FILE* f = path ? fopen(path, "w") : NULL;
        if (f) {
            fprintf(f, "%ld.%09ld\n", (long)t.tv_sec, t.tv_nsec);
            fclose(f);
        }
    }
    real(window);
}

static SDL_AudioCallback gCallback;

static void countedCallback(void* userdata, Uint8* stream, int len) {
    const uint64_t start = threadNs();
    gCallback(userdata, stream, len);
    struct Counters* c = counters();
    if (c) {
        add(&c->callbackNs, threadNs() - start);
        add(&c->callbacks, 1);
    }
}

SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture,
                                      const SDL_AudioSpec* desired, SDL_AudioSpec* obtained,
                                      int allowed) {
    static SDL_AudioDeviceID (*real)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    if (!real) real = dlsym(RTLD_NEXT, "SDL_OpenAudioDevice");
    if (desired == NULL || desired->callback == NULL || iscapture) {
        return real(device, iscapture, desired, obtained, allowed);
    }
    SDL_AudioSpec counted = *desired;
    gCallback = desired->callback;
    counted.callback = countedCallback;
    return real(device, iscapture, &counted, obtained, allowed);
}

int SDL_QueueAudio(SDL_AudioDeviceID device, const void* data, Uint32 len) {
    static int (*real)(SDL_AudioDeviceID, const void*, Uint32);
    if (!real) real = dlsym(RTLD_NEXT, "SDL_QueueAudio");
    struct Counters* c = counters();
    if (c && len > 0) add(&c->queued, 1);
    return real(device, data, len);
}

static FILE* unbuffered(FILE* f, const char* path) {
    const char* wanted = getenv("BENCH_UNBUFFERED");
    if (f && wanted && strcmp(path, wanted) == 0) setvbuf(f, NULL, _IONBF, 0);
    return f;
}

FILE* fopen(const char* path, const char* mode) {
    static FILE* (*real)(const char*, const char*);
    if (!real) real = dlsym(RTLD_NEXT, "fopen");
    return unbuffered(real(path, mode), path);
}

FILE* fopen64(const char* path, const char* mode) {
    static FILE* (*real)(const char*, const char*);
    if (!real) real = dlsym(RTLD_NEXT, "fopen64");
    return unbuffered(real(path, mode), path);
}
