#include "app/DuobrikApplication.h"

#include "render/Renderer.h"

namespace {
// Shows the intro picture until the real screens arrive.
class StandInLevel : public Level {
public:
    void draw() override { gRenderer->drawTexture(0, 0, 85); }
};
}  // namespace

void DuobrikApplication::init() {
    BrikApplication::init();
    level = std::make_unique<StandInLevel>();
    level->start();
}
