#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/headless/headless.hpp"

namespace zb::sdl {

namespace {
// SDL picks the audio driver when its audio starts; the hint chooses it for one test.
struct Driver {
    explicit Driver(const char* name) { SDL_SetHint(SDL_HINT_AUDIODRIVER, name); }
    ~Driver() { SDL_SetHint(SDL_HINT_AUDIODRIVER, ""); }
};
}  // namespace

TEST(SdlAudio, WithoutADeviceThePositionFollowsTheClock) {
    Driver d("no_such_driver");
    headless::VirtualClock clock;
    SdlAudio audio(clock);
    EXPECT_FALSE(audio.HasDevice());
    EXPECT_FALSE(audio.SoundfontMissing());
    clock.Set(5);
    audio.SetAutoStart(true);
    audio.SetEnabled(true);
    audio.SetFileName("sound/some.mid");
    EXPECT_EQ(audio.FileName(), "sound/some.mid");
    clock.Set(7.25);
    EXPECT_DOUBLE_EQ(audio.CurrentPosition(), 2.25);
    EXPECT_DOUBLE_EQ(audio.PositionAt(6), 1.0);
    audio.SetVolume(-600);
    EXPECT_EQ(audio.Volume(), -600);
    audio.PlayWave("sound/don.wav");  // nothing to play it on: nothing happens
    audio.SetFileName("");
    clock.Set(9);
    EXPECT_DOUBLE_EQ(audio.CurrentPosition(), 2.25);
}

TEST(SdlAudio, OnADeviceWithoutTheSoundfontTheMusicFallsBackToTheClock) {
    Driver d("dummy");
    headless::VirtualClock clock;
    SdlAudio audio(clock, "");
    ASSERT_TRUE(audio.HasDevice());
    EXPECT_TRUE(audio.SoundfontMissing());
    EXPECT_EQ(audio.SampleRate(), 48000);
    EXPECT_GT(audio.BufferFrames(), 0);
    EXPECT_NEAR(audio.OutputLatency(), 2.0 * audio.BufferFrames() / audio.SampleRate(), 1e-9);
    clock.Set(1);
    audio.SetFileName("sound/some.mid");
    clock.Set(4);
    EXPECT_DOUBLE_EQ(audio.CurrentPosition(), 3.0);
}

TEST(SdlAudio, ASoundfontThatCannotBeLoadedIsMissing) {
    Driver d("dummy");
    headless::VirtualClock clock;
    SdlAudio audio(clock, std::string(ZB_SOURCE_DIR) + "/README.md");
    EXPECT_TRUE(audio.SoundfontMissing());
}

}  // namespace zb::sdl
