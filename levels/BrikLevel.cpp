#include "levels/BrikLevel.h"

// Placeholder bodies until the rules land.
BrikLevel::BrikLevel() = default;
void BrikLevel::start() {}
void BrikLevel::update(int64_t, int64_t) {}
void BrikLevel::draw() {}
void BrikLevel::keyUp(int32_t) {}
void BrikLevel::keyDown(int32_t) {}
void BrikLevel::setCell(int, int, int) {}
void BrikLevel::dropBlock(int) {}
void BrikLevel::raiseGarbageRow(int) {}
void BrikLevel::closeLowerEdges(int) {}
void BrikLevel::closeUpperEdges(int) {}
void BrikLevel::markClearing(int) {}
