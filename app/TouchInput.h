#pragma once
// Touches on the picture as the keys the levels already know, through SDL's
// finger events: a phone in the browser and a touchscreen on the desktop
// play alike. The table in TouchInput.cpp lists the gestures:
// - a tap (lifted soon, having barely moved) turns the piece, and starts a
//   game on the title or goes on after a level, as any key does;
// - a sideways swipe moves the piece one column per board square swiped;
// - a drag downward holds Down until the finger lifts.
// Distances are in picture pixels (fitScreen maps the drawing surface to
// the picture), so a swipe of one board square is one column on any screen.
// One finger steers at a time; others that touch meanwhile are ignored.
//
// A column is a press held for one frame. The rules take no press while the
// piece is still sliding from the last one (catalogue::kSlideMs), so a swipe
// faster than that is paid out one column at a time: the main loop hands
// every finger event to handle() and calls step() before each frame.

#include <SDL.h>

#include <cstdint>

#include "app/KeyReceiver.h"

class TouchInput {
public:
    // A finger that moves less than this (picture pixels) is still a tap;
    // beyond it, the way it went decides the gesture for the rest of the touch.
    static constexpr float kSlop = 8.0f;
    // A finger held still for longer than this is no tap, only a thumb resting.
    static constexpr int64_t kTapMs = 500;

    // Reacts to a finger event on a drawing surface of width x height pixels
    // at `nowMs` (any millisecond clock), delivering the keys it presses or
    // lets go.
    void handle(const SDL_TouchFingerEvent& event, int width, int height, int64_t nowMs,
                KeyReceiver& keys);
    // Before each frame: lets go of the column pressed for the last frame and
    // presses the next one swiped, once the piece can take it.
    void step(int64_t nowMs, KeyReceiver& keys);

private:
    enum class Gesture { None, Undecided, Sideways, Down, Ignored };

    void follow(float x, float y, KeyReceiver& keys);

    Gesture gesture_ = Gesture::None;
    SDL_TouchID device_ = 0;
    SDL_FingerID finger_ = 0;
    float startX_ = 0.0f;  // where the finger came down, in picture pixels
    float startY_ = 0.0f;
    int64_t startMs_ = 0;
    int swiped_ = 0;    // whole squares from the start, signed: negative is left
    int pending_ = 0;   // columns swiped and not yet pressed, signed likewise
    int32_t held_ = 0;  // the arrow pressed for this frame, 0: none
    int64_t pressMs_ = 0;
    // Frames begun a slide's time after the last press: at two, the slide it
    // started has surely ended before the next frame.
    int framesPastSlide_ = 2;
};
