#include "frontend/startup.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/picture_sets.hpp"
#include "frontend_fixture.hpp"

namespace zb {
namespace {

using testing::Fields16;
using testing::FrontendTest;
using testing::Items32;

using StartUpTest = FrontendTest;

TEST_F(StartUpTest, AFirstRunWarnsOnceKeepsTheDefaultsAndCreatesNoFile) {
    game.settings.BgmVolume = 0;
    StartUp(game);

    ASSERT_EQ(hp.dialogs.shown.size(), 1u);
    EXPECT_EQ(hp.dialogs.shown[0].text,
              "一部の初期化に失敗しました。正しく動作しない可能性があります。");
    EXPECT_EQ(hp.dialogs.shown[0].buttons, MsgButtons::Ok);

    const Settings& s = game.settings;
    EXPECT_EQ(s.KeyCodes, (std::array<int16_t, 4>{97, 98, 100, 101}));
    EXPECT_EQ(s.DelaySetting, 9);
    EXPECT_EQ(s.FramePosition, 0);
    EXPECT_EQ(s.BgmVolume, -600);
    EXPECT_TRUE(s.JudgeEffect);
    EXPECT_FALSE(s.BigNoteWait);
    for (const auto& col : game.scores.HighScores)
        for (int32_t v : col) ASSERT_EQ(v, 0);
    EXPECT_EQ(game.scores.CourseHighScores, (std::array<int32_t, 4>{}));

    EXPECT_FALSE(dir.Exists("config.dat"));
    EXPECT_FALSE(dir.Exists("score.dat"));
    EXPECT_FALSE(dir.Exists("netrank.dat"));
}

TEST_F(StartUpTest, TheNoticeScreen) {
    game.form.Label[5].Visible = true;  // whatever was shown before is reset
    StartUp(game);
    EXPECT_EQ(ScreenName(game.ScreenState), "著作権表示");
    EXPECT_EQ(game.form.BackColor, colors::Black);
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1}));

    const LabelControl& n = game.form.Label[0];
    EXPECT_EQ(n.Left, 2000);
    EXPECT_EQ(n.Top, 2000);
    EXPECT_EQ(n.Width, 6000);
    EXPECT_EQ(n.Height, 3500);
    EXPECT_EQ(n.FontSize, 26);
    EXPECT_EQ(n.ForeColor, colors::Yellow);
    EXPECT_EQ(n.BackColor, colors::Black);
    // Three lines, each ended by CR LF; the second and third indented by exactly seven spaces.
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t e; (e = n.Caption.find("\r\n", at)) != std::string::npos; at = e + 2)
        lines.push_back(n.Caption.substr(at, e - at));
    EXPECT_EQ(at, n.Caption.size());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0][0], ' ');
    for (int i : {1, 2}) {
        EXPECT_EQ(lines[size_t(i)].substr(0, 7), "       ");
        EXPECT_NE(lines[size_t(i)][7], ' ');
    }
    EXPECT_NE(lines[0].find("2026"), std::string::npos);

    const LabelControl& c = game.form.Label[1];
    EXPECT_EQ(c.Caption, "Click start!");
    EXPECT_EQ(c.ForeColor, colors::Red);
    EXPECT_EQ(c.FontSize, 20);
    EXPECT_EQ(c.Left, 5000);
    EXPECT_EQ(c.Top, 4500);
    EXPECT_EQ(c.Width, 3000);
    EXPECT_EQ(c.Height, 1000);

    EXPECT_EQ(game.SongTitles[1], "決戦　パート２");
    EXPECT_EQ(game.SongTitles[8], "バイクレース０１");
    EXPECT_EQ(game.SongTitles[10], "");
    EXPECT_TRUE(game.form.pNoteUra[0].HasPicture());
    EXPECT_TRUE(game.form.frmPict.pHiru.HasPicture());
}

TEST_F(StartUpTest, BothFilesAndAllPicturesPresentMeanNoWarning) {
    dir.Write("config.dat", Fields16({65, 83, 75, 76, 12, 3, -300, 1, 0, 0}));
    dir.Write("score.dat", Items32({{1, 1000000}, {3, 400001}, {19, 600000}, {33, 77}}));
    StartUp(game);
    EXPECT_EQ(Warnings(), 0);
    const Settings& s = game.settings;
    EXPECT_EQ(s.KeyCodes, (std::array<int16_t, 4>{65, 83, 75, 76}));
    EXPECT_EQ(s.DelaySetting, 12);
    EXPECT_EQ(s.FramePosition, 3);
    EXPECT_EQ(s.BgmVolume, -300);
    EXPECT_FALSE(s.JudgeEffect);
    EXPECT_TRUE(s.BigNoteWait);
    EXPECT_EQ(game.scores.CourseHighScores[1], 1000000);
    EXPECT_EQ(game.scores.CourseHighScores[3], 77);
    EXPECT_EQ(game.scores.HighScores[0][0], 0);
    EXPECT_EQ(game.scores.HighScores[1][5], 500000);
}

TEST_F(StartUpTest, AMissingSoundfontIsOneOfTheCollectedFailures) {
    dir.Write("config.dat", Fields16({65, 83, 75, 76, 12, 3, -300, 1, 0, 0}));
    dir.Write("score.dat", Items32({{1, 5}}));
    game.platform.soundfontMissing = true;
    StartUp(game);
    EXPECT_EQ(Warnings(), 1);
    EXPECT_EQ(game.settings.DelaySetting, 12);  // everything else still loads
}

TEST_F(StartUpTest, OnlyThreeVolumesSurvive) {
    dir.Write("score.dat", Items32({}));
    for (int16_t v : {0, -1000, -301, 100, -300, -600, -900}) {
        dir.Write("config.dat", Fields16({97, 98, 100, 101, 9, 0, v, 0, 1, 0}));
        StartUp(game);
        const bool kept = v == -300 || v == -600 || v == -900;
        EXPECT_EQ(game.settings.BgmVolume, kept ? v : -600) << v;
    }
    EXPECT_EQ(Warnings(), 0);
}

TEST_F(StartUpTest, AnEmptyOrZeroSettingsFileIsIgnoredWithoutAWarning) {
    dir.Write("score.dat", Items32({}));
    for (const std::string& bytes : {std::string(), std::string(20, '\0')}) {
        game.settings = Settings{};
        game.settings.BgmVolume = -900;  // the defaults are set afresh; the volume is not
        game.settings.DelaySetting = 40;
        dir.Write("config.dat", bytes);
        StartUp(game);
        EXPECT_EQ(game.settings.DelaySetting, 9);
        EXPECT_EQ(game.settings.BgmVolume, -900);
        EXPECT_EQ(game.settings.KeyCodes[0], 97);
    }
    EXPECT_EQ(Warnings(), 0);
}

TEST_F(StartUpTest, BrokenPiecesEachCountButGiveOneWarning) {
    dir.Write("config.dat", Fields16({97, 98, 100, 101, 9, 0, -600, 0, 1, 0}));
    std::filesystem::create_directory(dir.File("score.dat"));
    std::filesystem::remove(dir.File("img/wan/te1.gif"));
    dir.Write("img/note/waku.gif", "not a picture");
    StartUp(game);
    EXPECT_EQ(Warnings(), 1);
    EXPECT_FALSE(game.form.pInuUra[4].HasPicture());
    EXPECT_FALSE(game.form.pWakuUra[0].HasPicture());
    EXPECT_TRUE(game.form.pInuUra[5].HasPicture());
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("score.dat")));
    EXPECT_EQ(ScreenName(game.ScreenState), "著作権表示");
}

TEST_F(StartUpTest, EachFailureIsNamedOnStandardErrorAndASongSelectPictureJoinsTheWarning) {
    dir.Write("config.dat", Fields16({97, 98, 100, 101, 9, 0, -600, 0, 1, 0}));
    dir.Write("score.dat", Items32({}));
    std::filesystem::remove(dir.File("img/other/song3.gif"));
    ::testing::internal::CaptureStderr();
    StartUp(game);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Warnings(), 1);
    EXPECT_NE(err.find(dir.File("img/other/song3.gif")), std::string::npos) << err;
    EXPECT_EQ(err.find("config.dat"), std::string::npos) << err;
    // The song select screen still draws, with an empty surface where the picture failed.
    EXPECT_FALSE(Gamen(game, 3).pSongTitle[3].HasPicture());
    EXPECT_TRUE(Gamen(game, 2).pSongTitle[2].HasPicture());

    std::filesystem::remove(dir.File("config.dat"));
    ::testing::internal::CaptureStderr();
    StartUp(game);
    err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("could not read " + dir.File("config.dat") + ": " + std::strerror(ENOENT)),
              std::string::npos)
        << err;
    EXPECT_EQ(Warnings(), 2);
}

TEST_F(StartUpTest, TheHitSoundsAreReadAheadAndAMissingOneIsNamedWithoutAWarning) {
    dir.Write("config.dat", Fields16({97, 98, 100, 101, 9, 0, -600, 0, 1, 0}));
    dir.Write("score.dat", Items32({}));
    std::filesystem::create_directories(dir.File("sound"));
    dir.Write("sound/don.wav", "RIFF");
    ::testing::internal::CaptureStderr();
    StartUp(game);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(hp.wave.loaded,
              (std::vector<std::string>{dir.File("sound/don.wav"), dir.File("sound/kan.wav")}));
    EXPECT_EQ(Warnings(), 0);
    EXPECT_EQ(err.find("don.wav"), std::string::npos) << err;
    EXPECT_NE(err.find(dir.File("sound/kan.wav")), std::string::npos) << err;
}

}  // namespace
}  // namespace zb
