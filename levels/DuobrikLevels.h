#pragma once
// The nine special play levels. Each is a DuobrikLevel whose board starts
// with a fixed pattern of single blocks in its lowest rows instead of empty;
// speed, goal, hazards and music come from the game flow's level list like
// for any play level, and each class serves at two places of that list.
//
// makeDuobrikLevel builds a play level from its class id: 1 for the plain
// DuobrikLevel, 2 to 10 for DuobrikLevel2 to DuobrikLevel10.

#include <memory>

#include "levels/DuobrikLevel.h"

// Two pillars eight rows high at the outer columns.
class DuobrikLevel2 : public DuobrikLevel {
public:
    void start() override;
};

// A tower two columns wide in the middle.
class DuobrikLevel3 : public DuobrikLevel {
public:
    void start() override;
};

// Ten scattered blocks.
class DuobrikLevel4 : public DuobrikLevel {
public:
    void start() override;
};

// Three rows with one hole each, two empty rows between them.
class DuobrikLevel5 : public DuobrikLevel {
public:
    void start() override;
};

// An uneven heap.
class DuobrikLevel6 : public DuobrikLevel {
public:
    void start() override;
};

// A staircase in the bottom-left corner.
class DuobrikLevel7 : public DuobrikLevel {
public:
    void start() override;
};

// Seven rows with one hole each, all but the top one covered.
class DuobrikLevel8 : public DuobrikLevel {
public:
    void start() override;
};

// A solid block with the two outer columns left open.
class DuobrikLevel9 : public DuobrikLevel {
public:
    void start() override;
};

// A bowl.
class DuobrikLevel10 : public DuobrikLevel {
public:
    void start() override;
};

// A new play level of class id 1..10; any other id gives a plain DuobrikLevel,
// so the game always has a level to run. Never null.
std::unique_ptr<DuobrikLevel> makeDuobrikLevel(int classId);
