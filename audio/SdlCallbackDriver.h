#pragma once
// A libmikmod output driver that mixes inside SDL2's own audio callback.
//
// libmikmod stays the module player and the software mixer; this driver
// only moves its output. SDL calls the callback whenever the device wants
// its next block: on SDL's audio thread on the desktop, from the page's
// audio processing in a browser. The callback calls MikMod_Update, and the
// driver's Update mixes straight into SDL's buffer. So the sound is mixed
// exactly when it is needed, with no thread or queue of ours in between.
//
// Lock order. SDL holds its device lock while it runs the callback, and the
// callback takes libmikmod's lock, so nothing may ask for the device lock
// while holding libmikmod's: that is how libmikmod's bundled SDL driver
// deadlocks. libmikmod calls PlayStart, PlayStop and Exit with its lock
// held (Player_Load does, through MikMod_SetNumVoices), so they only set a
// flag the callback reads; the device is started, held and closed by the
// functions below, which take the device lock, from a caller that does not
// hold libmikmod's lock.
//
// Usage: SDL's audio subsystem is initialised by the caller; registerDriver()
// once, select the driver with md_device = MikMod_DriverFromAlias(kAlias),
// MikMod_Init, then start(); close() before MikMod_Exit. There is one
// libmikmod per process, so the state is static.

#include <cstdint>

class SdlCallbackDriver {
public:
    static constexpr const char* kAlias = "duobrik-sdl";

    // Adds the driver to libmikmod's list; safe to call more than once.
    static void registerDriver();
    // Lets the device call for sound: it opens paused.
    static void start();
    // Keeps the callback out until releaseMixing(): what the caller changes
    // in libmikmod meanwhile lands between two blocks. Take it before
    // libmikmod's lock, never inside it.
    static void holdMixing();
    static void releaseMixing();
    // Closes the device; waits for a callback under way. Not with
    // libmikmod's lock held.
    static void close();
    // Blocks the callback has filled since the process started.
    static uint64_t blocksFilled();
};
