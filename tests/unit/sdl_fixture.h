#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

// SDL with video, timer and events for one test. Natively the tests run on SDL's dummy video
// driver; under Wine on the real Windows driver.
class SdlTest : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_SetMainReady();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS), 0) << SDL_GetError();
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    }
    void TearDown() override { SDL_Quit(); }
};
