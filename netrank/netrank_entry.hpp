// The title menu's ネットワーク item: the player's ranking name, the download, and the ranking
// shown before play.
#pragma once

#include "core/game.hpp"

namespace zb {

enum class NetRankEntryEnd {
    NameRefused,   // the title menu stays on screen
    ServerFailed,  // the failure was shown; the caller shows the title
    Fetched,       // the ranking arrived: the caller shows it, then runs the ranking course
};

inline constexpr const char* kRankNamePrompt =
    "インターネットランキングで使用する名前を入力してください。\r\n"
    "（１２文字以内、コロンとセミコロン使用不可）\r\n\r\n"
    "※ＩＭＥが起動した状態でゲームを始めるとキーを押すたびに文字入力画面になるので、名前入力後は"
    "「半角/全角」キーを押すなどしてＩＭＥが起動していない状態にすることをおすすめします。";

inline constexpr const char* kRankServerFailed = "サーバーの接続に失敗しました。";
// A song of the ranking course left from the pause menu ends the course.
inline constexpr const char* kRankNotSentAfterLeaving = "ランキングには送信されません。";

// Asks for the name (refusing one the ranking can't hold) and downloads the ranking from the
// server in use.
NetRankEntryEnd NetRankNameEntry(Game& game);

// The ranking course could not go on (the download failed, or a run-time error stopped the
// display or the course before the session after play): tells the player, clears the screen and
// ends the ranking course. The caller shows the title.
void NetRankCourseFailed(Game& game);

}  // namespace zb
