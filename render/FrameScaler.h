#pragma once
// Shows the game's 320x480 picture enlarged by a whole factor. The frame is
// drawn at its own size first, in the lower-left corner of the back buffer,
// exactly as it would be on a screen that fits it; enlarge() then copies it
// into a texture and draws that back over the whole surface, every picture
// pixel a factor x factor block (nearest texel, no blending), centred with
// black around it. Drawing the scene itself at the larger size instead would
// turn the shaken playfield and stretch the bands at a finer grid, so that
// an enlarged frame would no longer be the frame enlarged.
//
// OpenGL 1.1 only (glCopyTexSubImage2D), so it works on any driver and on
// WebGL. Needs a current context; release() before the context goes.

#include "catalogue/ScreenFit.h"

class FrameScaler {
public:
    FrameScaler() = default;
    FrameScaler(const FrameScaler&) = delete;
    FrameScaler& operator=(const FrameScaler&) = delete;

    // Replaces the surfaceWidth x surfaceHeight back buffer by the picture in
    // its lower-left 320x480 pixels, enlarged and placed as `fit` says. The
    // surface must hold the enlarged picture (fitScreen's answer for it does).
    void enlarge(const catalogue::ScreenFit& fit, int surfaceWidth, int surfaceHeight);
    // Deletes the texture; the next enlarge makes it again.
    void release();

private:
    unsigned texture_ = 0;  // GLuint: 512x512, the picture in its lower-left part
};
