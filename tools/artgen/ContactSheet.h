#pragma once
// A picture for people: every record of the picture file with its index, and
// two mock screens (the intro and a game in play) composed from the records
// the way the game draws them, so the look can be judged without running it.

#include <vector>

#include "tools/artgen/Image.h"

Image contactSheet(const std::vector<Image>& records);
