#include "render/FrameScaler.h"

#include <GL/gl.h>

using namespace catalogue;

namespace {

// The smallest power of two that holds the picture both ways: OpenGL 1.1 and
// WebGL 1 want whole powers of two for a texture.
constexpr int kTextureSide = 512;
static_assert(kScreenWidth <= kTextureSide && kScreenHeight <= kTextureSide);

}  // namespace

void FrameScaler::enlarge(const ScreenFit& fit, int surfaceWidth, int surfaceHeight) {
    if (texture_ == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        // Colour only: the page's WebGL drawing buffer has no alpha, and
        // WebGL refuses to copy into a texture with channels the buffer
        // lacks. The enlarged picture needs none.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTextureSide, kTextureSide, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, nullptr);
        texture_ = name;
    }
    glBindTexture(GL_TEXTURE_2D, texture_);
    // Texel (0, 0) is the frame's lower-left pixel.
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kScreenWidth, kScreenHeight);

    glViewport(0, 0, surfaceWidth, surfaceHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, surfaceWidth, 0, surfaceHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    // Every picture pixel's block samples that pixel's texel, modulated by
    // white: the texel as it is. The texture coordinates stay inside the
    // picture, so its wrap mode never matters.
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    const float s = static_cast<float>(kScreenWidth) / kTextureSide;
    const float t = static_cast<float>(kScreenHeight) / kTextureSide;
    const int left = fit.x, right = fit.x + fit.width;
    const int bottom = fit.y, top = fit.y + fit.height;
    // Every vertex carries all its attributes, as the browser's emulation of
    // immediate mode needs (see OpenGLRenderer).
    glBegin(GL_QUADS);
    glColor3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2i(left, bottom);
    glColor3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(s, 0.0f);
    glVertex2i(right, bottom);
    glColor3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(s, t);
    glVertex2i(right, top);
    glColor3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.0f, t);
    glVertex2i(left, top);
    glEnd();

    glEnable(GL_BLEND);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

void FrameScaler::release() {
    if (texture_ != 0) {
        GLuint name = texture_;
        glDeleteTextures(1, &name);
        texture_ = 0;
    }
}
