#include "frontend/startup.hpp"

#include "core/devices_file.hpp"
#include "core/failure_report.hpp"
#include "core/options_file.hpp"
#include "core/picture_sets.hpp"
#include "core/score_file.hpp"
#include "core/screen_reset.hpp"
#include "core/songs.hpp"
#include "frontend/config_file.hpp"
#include "frontend/kit_file.hpp"
#include "frontend/notice_slots.hpp"
#include "frontend/pad_file.hpp"
#include "play/hit_feedback.hpp"

namespace zb {

const char* const kNoticeLines[3] = {
    "(C)2026 わんこ太郎\r\n",
    "       Team ZUBAKKO\r\n",
    "       無断転載禁止\r\n",
};
const char* const kStartUpWarning =
    "一部の初期化に失敗しました。正しく動作しない可能性があります。";

namespace {

void ShowNotice(MainForm& f) {
    f.BackColor = colors::Black;

    LabelControl& notice = f.Label[notice_slots::kNoticeLabel];
    notice.Width = 6000;
    notice.Height = 3500;
    notice.BackColor = colors::Black;
    notice.Left = 2000;
    notice.Top = 2000;
    notice.Visible = true;
    notice.Caption.clear();
    for (const char* line : kNoticeLines) notice.Caption += line;
    notice.FontSize = 26;
    notice.ForeColor = colors::Yellow;

    LabelControl& click = f.Label[notice_slots::kClickLabel];
    click.Width = 3000;
    click.Height = 1000;
    click.BackColor = colors::Black;
    click.Left = 5000;
    click.Top = 4500;
    click.Visible = true;
    click.Caption = "Click start!";
    click.ForeColor = colors::Red;
    click.FontSize = 20;
}

// The music player knows three volumes; anything else (a first run, an old or odd file) gets the
// middle one.
int16_t UsableVolume(int16_t v) {
    return v == kLoudVolume || v == kNormalVolume || v == kQuietVolume ? v : kNormalVolume;
}

}  // namespace

void StartUp(Game& game) {
    AllEnable(game);
    bool failed = false;

    ShowNotice(game.form);
    if (!LoadFirstPictureSet(game)) failed = true;
    if (!CheckSecondPictureSet(game)) failed = true;
    // Without the soundfont the music is silent; the player still keeps time on the clock.
    if (game.platform.soundfontMissing) {
        ReportFailure("no General MIDI soundfont could be loaded: the music is silent");
        failed = true;
    }

    // The hit sounds are read ahead, so that the first strike costs nothing. A missing one plays
    // nothing, as ever; only the terminal hears of it.
    for (const std::string& file : HitSoundFiles(game))
        if (!game.platform.wave.LoadWave(file))
            ReportFailure("cannot read the hit sound", file, "missing or not a WAV file");

    for (int i = 0; i < kSongCount; ++i) game.SongTitles[size_t(i)] = SongTitle(i);

    // The defaults before config.dat is read; the volume and the big-note mode keep their values.
    Settings& s = game.settings;
    const Settings defaults;
    s.DelaySetting = defaults.DelaySetting;
    s.FramePosition = defaults.FramePosition;
    s.KeyCodes = defaults.KeyCodes;
    s.JudgeEffect = defaults.JudgeEffect;
    game.ScreenState = Screen::Notice;

    if (!LoadConfig(game)) failed = true;
    LoadPadBindings(game);
    LoadKitBindings(game);
    s.BgmVolume = UsableVolume(s.BgmVolume);
    if (!LoadScores(game)) failed = true;
    LoadOptions(game);
    LoadDevices(game);
    game.platform.music.SetWantedPeriod(game.options.WantedPeriod());

    if (failed)
        game.platform.dialogs.MessageBox(kStartUpWarning, MsgButtons::Ok, MsgIcon::Warning,
                                         kAppTitle);
}

}  // namespace zb
