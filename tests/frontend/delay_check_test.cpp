// The delay check played through headless: strikes a constant 30 ms late give a ディレイ that
// cancels them to within one step, which Enter takes and Esc leaves.
#include "frontend/delay_check.hpp"

#include <gtest/gtest.h>

#include "core/delay_check_beat.hpp"
#include "frontend_fixture.hpp"

namespace zb {
namespace {

struct DelayCheckTest : testing::FrontendTest {
    std::string figures;  // the check's figures as last shown

    // Strikes every note `lateMs` after it falls due with the ディレイ `delayForDue`, alternating
    // the don keys, from a check that starts now; then taps `leave`.
    void Strike(double lateMs, int16_t delayForDue, std::vector<int> leave) {
        const double start = hp.clock.Now();
        const double stepMs = 1000.0 / kCheckLanePixelsPerSecond;
        for (int k = 0; k < kCheckBeats; ++k) {
            const double at =
                start + CheckBeatTime(kCheckCountIn + k) + (delayForDue * stepMs + lateMs) / 1000.0;
            const int key = k % 2 ? vk::Numpad2 : vk::Numpad1;
            hp.keyboard.At(at, key, true);
            hp.keyboard.At(at + 0.05, key, false);
        }
        double t = start + CheckBeatTime(kCheckCountIn + kCheckBeats) + 2.0;
        for (int code : leave) {
            hp.keyboard.At(t, code, true);
            hp.keyboard.At(t + 0.1, code, false);
            t += 1.0;
        }
    }
};

TEST_F(DelayCheckTest, ThirtyMillisecondsLateAreCancelledWithinOneStep) {
    game.settings.DelaySetting = 9;
    hp.window.onYield = [&] { figures = game.form.Label[7].Caption; };
    Strike(30, 9, {vk::Enter});
    DelayCheck(game);
    // 30 ms at 400 pixels a second are 12 steps.
    EXPECT_EQ(game.settings.DelaySetting, 21);
    EXPECT_NE(figures.find("平均 +30 ms（遅め）"), std::string::npos) << figures;
    EXPECT_NE(figures.find("ディレイ 9 → 21"), std::string::npos) << figures;

    // With the new ディレイ the same strikes are on time; Esc keeps it as it is.
    Strike(30, 9, {vk::Escape});
    DelayCheck(game);
    EXPECT_NE(figures.find("平均 ±0 ms"), std::string::npos) << figures;
    EXPECT_EQ(game.settings.DelaySetting, 21);
}

}  // namespace
}  // namespace zb
