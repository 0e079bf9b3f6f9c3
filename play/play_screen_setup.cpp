#include "play/play_screen_setup.hpp"

#include <exception>

#include "core/checked.hpp"
#include "core/helpers.hpp"
#include "core/own_songs.hpp"
#include "core/picture_sets.hpp"
#include "core/screen_reset.hpp"
#include "play/play_slots.hpp"

namespace zb {

namespace {

// Each step of the set-up that fails (a missing gauge picture, say) is skipped. An overflow is a
// fault of the numbers, not of a file: it goes on up.
template <typename F>
void Step(F&& f) {
    try {
        f();
    } catch (const OverflowError&) {
        throw;
    } catch (const std::exception&) {
    }
}

void SizePx(PictureBox& p, int w, int h) {
    p.SetSizePx(w, h);
}

}  // namespace

std::string CourseLineText(const Game& game, ChartId chart, bool autoPlay, bool secondSong,
                           bool rankingCourse) {
    return CourseLineText(game, PlayRequest{.chart = chart,
                                            .autoPlay = autoPlay,
                                            .ranking = rankingCourse,
                                            .secondSong = secondSong});
}

std::string CourseLineText(const Game& game, const PlayRequest& q) {
    const int16_t song = q.chart.song, difficulty = q.chart.difficulty;
    const bool autoPlay = q.autoPlay, secondSong = q.secondSong, rankingCourse = q.ranking;
    std::string s;
    if (q.challenge)
        s = "チャレンジコース";
    else if (rankingCourse)
        s = "ネットランキング";
    else if (difficulty == 1)
        s = "むずかしいコース";
    else if (difficulty == 2)
        s = "ワンだフルコース";
    else
        s = "かんたんコース";
    s += autoPlay ? "オート" : secondSong ? "２曲目" : "１曲目";
    if (song >= 0 && song < kSongCount) s += std::string("　") + SongCourseLineName(song);
    if (const OwnSong* own = FindOwnSong(game, song)) s += "　" + own->title;
    return s;
}

void PlayScreenSetup(Game& game, ChartId chart, bool autoPlay, bool secondSong,
                     bool rankingCourse) {
    PlayScreenSetup(game, PlayRequest{.chart = chart,
                                      .autoPlay = autoPlay,
                                      .ranking = rankingCourse,
                                      .secondSong = secondSong});
}

void PlayScreenSetup(Game& game, const PlayRequest& q) {
    MainForm& f = game.form;
    const std::string gage = game.AppDir() + "img/gage/";
    AllEnable(game);  // also releases the song select pictures

    Step([&] { f.Timer1[0].Enabled = false; });
    Step([&] { f.AutoRedraw = true; });
    Step([&] {
        f.pInu.Top = 700, f.pInu.Left = 200;
        SizePx(f.pInu, kDrummerSize, kDrummerSize);
        f.pInu.BackColor = colors::White;
    });
    Step([&] {
        SizePx(f.pInuMask, kDrummerSize, kDrummerSize);
        f.pInuMask.BackColor = colors::White;
    });
    Step([&] {
        BlitCopy(f.pInuKao.Dc(), 0, 0, kDrummerSize, kDrummerSize, f.pInuMask.Dc(), 0, 0);
        BlitCopy(f.pInuMask.Dc(), 0, 0, kDrummerSize, kDrummerSize, f.pInu.Dc(), 0, 0);
        f.pInu.Visible = true;
    });
    // Each gauge surface is sized, coloured and given its picture in one skippable step.
    auto gaugeSurface = [&](PictureBox& box, int w, int h, Color back, const char* file) {
        SizePx(box, w, h);
        box.BackColor = back;
        box.LoadPicture(gage + file);
    };
    Step([&] {
        f.pGage.Top = 200, f.pGage.Left = 3000;
        gaugeSurface(f.pGage, 384, 32, colors::Blue, "gage2.gif");
    });
    Step([&] { f.pGage.Visible = true; });
    Step([&] {
        f.pGageUra.Top = 200, f.pGageUra.Left = 3000;
        gaugeSurface(f.pGageUra, 384, 32, colors::Blue, "gage2.gif");
    });
    Step([&] { gaugeSurface(f.pGage1, 384, 32, colors::Blue, "gage2.gif"); });
    Step([&] { gaugeSurface(f.pGage2, 8, 32, colors::Black, "gage1.gif"); });
    Step([&] { gaugeSurface(f.pGage3, 8, 32, colors::Yellow, "gage3.gif"); });
    Step([&] {
        LabelControl& l = f.Label[play_slots::kComboLabel];
        l.BackColor = colors::Black, l.ForeColor = colors::Yellow, l.FontSize = 22;
        l.Left = 300, l.Top = 200, l.Width = 3000, l.Height = 1000;
        l.Visible = true;
        l.Caption = "COMBO: 0";
    });
    Step([&] {
        // Over the background's top right corner, shown only in a race.
        LabelControl& l = f.Label[play_slots::kGhostLabel];
        l.BackColor = colors::Black, l.ForeColor = Color::Rgb(120, 220, 255), l.FontSize = 14;
        l.Left = 6300, l.Top = 4560, l.Width = 3400, l.Height = 400;
    });
    Step([&] {
        f.pFumen.Top = 700, f.pFumen.Left = 3000;
        f.pFumen.BackColor = kLaneColor;
        f.pFumen.SetWidthTwips(6500), f.pFumen.SetHeightTwips(3000);
        f.pFumen.Visible = true, f.pFumen.AutoRedraw = true;
    });
    Step([&] {
        f.pFumenUra.Top = 10000, f.pFumenUra.Left = 10000;
        f.pFumenUra.BackColor = kLaneColor;
        f.pFumenUra.SetWidthTwips(6500), f.pFumenUra.SetHeightTwips(3000);
        f.pFumenUra.Visible = false, f.pFumenUra.AutoRedraw = true;
        f.pHanteiMask.BackColor = kLaneColor;
    });
    Step([&] {
        LabelControl& l = f.Label[play_slots::kScoreLabel];
        l.BackColor = colors::Black, l.Top = 3700, l.Left = 7500, l.Height = 1000, l.Width = 2500;
        l.FontSize = 30, l.ForeColor = colors::Red, l.Visible = true;
    });
    Step([&] {
        LabelControl& l = f.Label[play_slots::kCourseLineLabel];
        l.BackColor = colors::Black, l.Top = 3800, l.Left = 200, l.Height = 350, l.Width = 7300;
        l.FontSize = 19, l.ForeColor = colors::White, l.Visible = true;
        l.Caption = CourseLineText(game, q);
    });
    Step([&] {
        f.pHaikei.Left = Round16((9800.0 - PixelsToTwipsX(650)) / 2.0);
        f.pHaikei.Top = Round16((3350.0 - PixelsToTwipsY(176)) / 2.0 + 4150.0);
        SizePx(f.pHaikei, 650, 176);
        f.pHaikei.Visible = true;
    });
}

}  // namespace zb
