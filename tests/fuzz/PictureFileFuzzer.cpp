// Any bytes as the picture file: the loader, the picture stack built from
// what it loaded, and drawing every loaded picture must neither crash nor
// read or write out of bounds. Also the GL-free record reader.

#include <GL/gl.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "offscreen/OffscreenGL.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static OffscreenGL gl;
    static OpenGLRenderer renderer;
    static const std::string path = "/tmp/duobrik_fuzz_" + std::to_string(getpid()) + ".dat";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    Picture picture;
    readPicture(path.c_str(), size > 0 ? data[0] % 4 : 0, picture);

    if (gl.ok()) {
        const int made = gTextures.load(path.c_str(), size > 1 ? data[1] % 4 : -1);
        gl.beginFrame();
        for (int i = 0; i < made; ++i) {
            renderer.drawTexture(i, 10, static_cast<unsigned>(i));
            renderer.drawTextureScaled(5, 400, 40, -30, 0.5f, static_cast<unsigned>(i));
        }
        glFinish();
        gTextures.release();
    }
    std::remove(path.c_str());
    return 0;
}
