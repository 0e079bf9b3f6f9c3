// A game on the headless platform whose program folder is a fresh temporary folder holding every
// picture of both sets and the logo (small one-colour pictures), but no data files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/game.hpp"
#include "core/screen_stack.hpp"
#include "frontend/title_screen.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/bmp_file.hpp"
#include "tests/common/picture_files.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb::testing {

inline void WritePicture(const TempDir& dir, const std::string& relative, uint32_t rgb = 0x336699) {
    const std::string path = dir.File(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteBmp(path, 4, 4, rgb);
}

inline std::string Fields16(std::initializer_list<int16_t> v) {
    std::string s;
    for (int16_t x : v) s.push_back(char(uint16_t(x) & 0xFF)), s.push_back(char(uint16_t(x) >> 8));
    return s;
}

inline std::string Items32(std::initializer_list<std::pair<int, int32_t>> set) {
    std::string s(296, '\0');
    for (auto [k, v] : set)
        for (int b = 0; b < 4; ++b) s[size_t(k * 4 + b)] = char((uint32_t(v) >> (8 * b)) & 0xFF);
    return s;
}

struct FrontendTest : ::testing::Test {
    TempDir dir;
    headless::HeadlessPlatform hp{dir.Dir()};
    Game game{hp.ports};
    ScreenStack stack{game};

    FrontendTest() {
        for (const std::string& f : FirstSetFiles()) WritePicture(dir, "img/" + f);
        for (const std::string& f : SecondSetFiles()) WritePicture(dir, "img/" + f);
        WritePicture(dir, "img/logo.gif", 0x00FF00);  // a green logo, 4 x 4 pixels
        SetUpGameStack(stack, game);
    }

    // Puts a screen on the stack (the game starts with the notice).
    void Open(std::unique_ptr<GameScreen> screen) { stack.Push(game, std::move(screen)); }
    // Runs the main loop until the window's queue of clicks and close requests is empty and
    // what they started has settled.
    void Pump() {
        int passes = 0;
        stack.RunWhile([&] { return ++passes < 1000 && hp.window.Pending(); });
        stack.RunWhile([&] { return ++passes < 1010; });
    }
    // Runs the main loop until `done` holds (or `seconds` of the game's clock have passed).
    void RunUntil(const std::function<bool()>& done, double seconds = 600) {
        const double end = hp.clock.Now() + seconds;
        stack.RunWhile([&] { return !done() && hp.clock.Now() < end; });
    }

    std::vector<int> VisibleLabels() const {
        std::vector<int> v;
        for (int i = 0; i < 21; ++i)
            if (game.form.Label[size_t(i)].Visible) v.push_back(i);
        return v;
    }
    int Warnings() const {
        int n = 0;
        for (const auto& s : hp.dialogs.shown) n += s.kind == "MessageBox";
        return n;
    }
};

}  // namespace zb::testing
