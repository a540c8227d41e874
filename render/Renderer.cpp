#include "render/Renderer.h"

Renderer* gRenderer = nullptr;
