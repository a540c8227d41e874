// The crafted modules of tests/fuzz/make-module-seeds, one per read out of
// bounds that Debian's libmikmod made (patches/libmikmod/README.md), loaded
// and played as the game plays its music. Each fault also shows without a
// sanitizer as a wrong result; under `make asan`, whose libmikmod is built
// with the same sanitizers, a read outside the library's tables fails here
// as well.

#include <gtest/gtest.h>
#include <mikmod.h>

#include <string>

#include "audio/MikModRenderer.h"

namespace {

// libmikmod on its silent driver, which still runs the player and the mixer,
// for the length of a test.
class CraftedModule : public testing::Test {
protected:
    void SetUp() override {
        MikModRenderer::registerLibmikmod();
        md_device = static_cast<UWORD>(MikMod_DriverFromAlias(const_cast<CHAR*>("nosound")));
        ASSERT_EQ(MikMod_Init(const_cast<CHAR*>("")), 0) << MikMod_strerror(MikMod_errno);
        MikMod_EnableOutput();
    }
    void TearDown() override {
        Player_Stop();
        if (module != nullptr) {
            Player_Free(module);
        }
        MikMod_Exit();
    }

    // Loads a crafted module as the game loads its music: up to 64 channels,
    // no search for hidden patterns.
    MODULE* load(const char* name) {
        const std::string path = std::string(DUOBRIK_MODULE_SEEDS) + "/" + name;
        module = Player_Load(const_cast<CHAR*>(path.c_str()), 64, 0);
        return module;
    }

    // Plays the loaded module from its start, looping as the game's music
    // does, for about two seconds (the silent driver mixes 8192 frames per
    // update, at 44.1 kHz).
    void play() {
        module->loop = module->wrap = 1;
        Player_Start(module);
        for (int i = 0; i < 11; ++i) {
            MikMod_Update();
        }
    }

    MODULE* module = nullptr;
};

TEST_F(CraftedModule, JumpPastTheSongsEndRestartsItInsteadOfStopping) {
    ASSERT_NE(load("jump_past_end.mod"), nullptr) << MikMod_strerror(MikMod_errno);
    play();
    EXPECT_TRUE(Player_Active()) << "the music stopped at the jump to position 105 of 12";
    EXPECT_LT(Player_GetOrder(), module->numpos);
}

TEST_F(CraftedModule, MtmOfMoreChannelsThanAPatternNamesIsRefused) {
    EXPECT_EQ(load("mtm_channels.mtm"), nullptr) << "an MTM pattern names 32 tracks, not 40";
}

TEST_F(CraftedModule, MtmFineTuneIsItsLowNibble) {
    ASSERT_NE(load("mtm_finetune.mtm"), nullptr) << MikMod_strerror(MikMod_errno);
    // Fine-tune byte 0xF0 is fine-tune 0: the sample plays at 8363 Hz for C.
    EXPECT_EQ(module->samples[0].speed, 8363u);
}

TEST_F(CraftedModule, AsylumNotePastThePeriodTablePlaysNothing) {
    ASSERT_NE(load("asy_high_note.amf"), nullptr) << MikMod_strerror(MikMod_errno);
    play();
    // The song's only note is the one past the table.
    for (int voice = 0; voice < module->numchn; ++voice) {
        EXPECT_EQ(Voice_RealVolume(static_cast<SBYTE>(voice)), 0u) << "voice " << voice;
    }
}

}  // namespace
