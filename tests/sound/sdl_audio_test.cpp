#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

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

TEST(SdlAudio, WithoutMusicTheDeviceRestsUntilAHitSoundOrMusicComes) {
    Driver d("dummy");
    headless::VirtualClock clock;
    SdlAudio audio(clock, "");
    ASSERT_TRUE(audio.HasDevice());
    const std::string don = std::string(ZB_SOURCE_DIR) + "/assets/sound/don.wav";
    ASSERT_TRUE(audio.LoadWave(don));
    const auto waitFor = [](auto done) {
        for (int i = 0; i < 400 && !done(); ++i) SDL_Delay(5);
        return done();
    };
    audio.PlayWave(don);
    audio.PlayWave(don);  // cuts the first off
    audio.RestIfSilent();
    EXPECT_FALSE(audio.Resting()) << "the hit sound still plays";
    // Once it has played, the device rests; the next hit sound opens it and is heard.
    EXPECT_TRUE(waitFor([&] {
        audio.RestIfSilent();
        return audio.Resting();
    }));
    const double before = audio.Renderer()->HitSoundRenderedAt();
    clock.Set(10);
    audio.PlayWave(don);
    EXPECT_FALSE(audio.Resting());
    EXPECT_TRUE(waitFor([&] { return audio.Renderer()->HitSoundRenderedAt() > before; }));
    // Music set keeps it awake.
    EXPECT_TRUE(waitFor([&] { return audio.Renderer()->Silent(); }));
    audio.SetFileName("sound/some.mid");
    audio.RestIfSilent();
    EXPECT_FALSE(audio.Resting());
}

TEST(SdlAudio, ASoundfontThatCannotBeLoadedIsMissing) {
    Driver d("dummy");
    headless::VirtualClock clock;
    SdlAudio audio(clock, std::string(ZB_SOURCE_DIR) + "/README.md");
    EXPECT_TRUE(audio.SoundfontMissing());
}

TEST(SdlAudio, TheTerminalGetsOneLineForEachRealFailureAndNoLibrarysChatter) {
    using ::testing::HasSubstr;
    using ::testing::internal::CaptureStderr;
    using ::testing::internal::GetCapturedStderr;
    const auto lines = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n'); };
    headless::VirtualClock clock;
    {
        // No sound card by that number: ALSA says why in lines of its own.
        Driver d("alsa");
        setenv("AUDIODEV", "hw:99", 1);
        CaptureStderr();
        SdlAudio audio(clock);
        const std::string said = GetCapturedStderr();
        unsetenv("AUDIODEV");
        EXPECT_FALSE(audio.HasDevice());
        EXPECT_EQ(lines(said), 1) << said;
        EXPECT_THAT(said, HasSubstr("runs without sound"));
    }
    {
        Driver d("dummy");
        CaptureStderr();
        SdlAudio audio(clock, std::string(ZB_SOURCE_DIR) + "/README.md");
        const std::string said = GetCapturedStderr();
        EXPECT_EQ(lines(said), 1) << said;
        EXPECT_THAT(said, HasSubstr("README.md"));
    }
    // A music file that turns out not to be MIDI while it plays.
    const auto junk = std::filesystem::temp_directory_path() / "zb_not_music.mid";
    std::ofstream(junk, std::ios::binary) << "MThd this is not music";
    audio::AudioRenderer r(clock, 48000, audio::FindSoundfont());
    CaptureStderr();
    r.SetFile(junk.string());
    std::vector<float> out(2 * 4800);
    for (int i = 0; i < 10; ++i) r.Render(out.data(), 4800);
    const std::string said = GetCapturedStderr();
    EXPECT_EQ(lines(said), 1) << said;
    EXPECT_THAT(said, HasSubstr(junk.string()));
    std::filesystem::remove(junk);
}

}  // namespace zb::sdl
