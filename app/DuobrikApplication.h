#pragma once
// The game's application: decides which level runs (placeholder until the
// game flow lands).

#include "app/BrikApplication.h"

class DuobrikApplication : public BrikApplication {
public:
    void init() override;
};
