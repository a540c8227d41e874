#include "fakes/FakeAudio.h"

FakeAudio::~FakeAudio() {
    if (gAudio == this) {
        gAudio = nullptr;
    }
}

void FakeAudio::loadMusic(const char* file) {
    music = file;
    log.push_back("loadMusic(" + music + ")");
}

void FakeAudio::playMusic(int position) {
    musicPosition = position;
    playing = true;
    log.push_back("playMusic(" + std::to_string(position) + ")");
}

void FakeAudio::stopMusic() {
    playing = false;
    log.push_back("stopMusic");
}

void FakeAudio::playSample(int index) {
    samplesPlayed.push_back(index);
    log.push_back("playSample(" + std::to_string(index) + ")");
}

void FakeAudio::setMusicVolume(int volume) {
    volumes.push_back(volume);
    log.push_back("volume(" + std::to_string(volume) + ")");
}
