#include "app/RunGame.h"

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    return runGame();
}
