// Which screen is on show. The dispatcher acts on it; the screens that run blocking loops set a
// state in which clicks do nothing, which keeps the clicks that arrive meanwhile harmless.
#pragma once

#include <cstdint>
#include <string_view>

namespace zb {

enum class Screen : uint8_t {
    None,             // before start-up shows the notice
    Notice,           // 著作権表示
    OpeningSubtitle,  // オープニング小タイトル
    Story,            // ストーリー (and the credits that follow it)
    Title,            // タイトル画面
    SongSelect,       // 曲選択
    Playing,          // ゲーム中
    Settings,         // 設定画面
    Challenge,        // チャレンジ
    NetRank,          // ネットランク: connecting before a ranking course
    NetRankDisplay,   // ネットランク表示
    DelayCheck,       // タイミング調整: the delay check, from the settings screen
    Paused,           // 一時停止: the pause menu over a song
    Practice,         // 練習: a song's bars looped at a tempo of the player's
    History,          // 記録: the plots of the play history, from the title and song select
    Replays,          // リプレイ: a chart's replays, from song select
};

// The screen's Japanese name, as logs and tests show it; empty for None.
constexpr std::string_view ScreenName(Screen s) {
    switch (s) {
        case Screen::None:
            return "";
        case Screen::Notice:
            return "著作権表示";
        case Screen::OpeningSubtitle:
            return "オープニング小タイトル";
        case Screen::Story:
            return "ストーリー";
        case Screen::Title:
            return "タイトル画面";
        case Screen::SongSelect:
            return "曲選択";
        case Screen::Playing:
            return "ゲーム中";
        case Screen::Settings:
            return "設定画面";
        case Screen::Challenge:
            return "チャレンジ";
        case Screen::NetRank:
            return "ネットランク";
        case Screen::NetRankDisplay:
            return "ネットランク表示";
        case Screen::DelayCheck:
            return "タイミング調整";
        case Screen::Paused:
            return "一時停止";
        case Screen::Practice:
            return "練習";
        case Screen::History:
            return "記録";
        case Screen::Replays:
            return "リプレイ";
    }
    return "";
}

}  // namespace zb
