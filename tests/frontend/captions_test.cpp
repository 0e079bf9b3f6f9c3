// The menus as the player sees them in the label font: the full title menu and the challenge
// menu's ten rows each stand whole on one line inside their labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/game.hpp"
#include "core/screen_stack.hpp"
#include "course/challenge_menu.hpp"
#include "frontend/title.hpp"
#include "platform/headless/headless.hpp"
#include "platform/ttf_text.hpp"

namespace zb {
namespace {

// The columns a caption's ink spans in a rectangle of a surface.
std::pair<int, int> InkColumns(const Surface& s, int x0, int y0, int x1, int y1, Color back) {
    int left = x1, right = -1;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (s.At(x, y) != back) left = std::min(left, x), right = std::max(right, x);
    return {left, right};
}

// Checks that a label's caption is drawn on one line, inside the label, and as wide as the whole
// caption drawn alone on a wide strip (nothing wrapped away or cut off).
void ExpectWholeInside(const Surface& s, const LabelControl& l, TextRenderer& text) {
    const int x0 = TwipsToPx(l.Left), y0 = TwipsToPx(l.Top);
    const int x1 = TwipsToPx(l.Left + l.Width), y1 = TwipsToPx(l.Top + l.Height);
    EXPECT_EQ(text.Measure(l.Caption, l.FontSize, 1 << 20).height,
              text.Measure(l.Caption, l.FontSize, x1 - x0).height)
        << l.Caption << " needs more than one line";
    // Rows clear of the label's edges (a neighbour's rounding may cover one), in both pictures.
    Surface strip(2000, y1 - y0, l.BackColor);
    text.DrawText(strip, 0, 0, 2000, y1 - y0, l.Caption, l.FontSize, l.ForeColor, Align::Left);
    const auto [wholeLeft, wholeRight] = InkColumns(strip, 0, 1, 2000, y1 - y0 - 1, l.BackColor);
    const auto [left, right] = InkColumns(s, x0, y0 + 1, x1, y1 - 1, l.BackColor);
    EXPECT_LT(right, x1 - 1) << l.Caption << " reaches the label's edge";
    EXPECT_EQ(right - left, wholeRight - wholeLeft) << l.Caption << " is not whole";
}

TEST(Captions, TheFullTitleMenuAndTheChallengeMenuStandWholeOnOneLine) {
    TtfText text;
    headless::HeadlessPlatform hp("/nonexistent/", &text);
    Game game(hp.ports);
    game.scores.CourseHighScores[1] = 1000000;
    TitleHyoji(game);
    hp.window.Present();
    for (int i = 0; i < 6; ++i) ExpectWholeInside(hp.window.Screen(), game.form.Label[i], text);

    ScreenStack stack(game);
    stack.Push(game, std::make_unique<ChallengeMenuScreen>(ChartId{0, 0}));
    hp.window.Present();
    for (int i = 0; i < 20; ++i) ExpectWholeInside(hp.window.Screen(), game.form.Label[i], text);
}

}  // namespace
}  // namespace zb
