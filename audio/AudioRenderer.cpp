#include "audio/AudioRenderer.h"

AudioRenderer* gAudio = nullptr;
