// The title menu's ネットワーク item: the player's ranking name, the download, and the ranking
// shown before play.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/game.hpp"
#include "netrank/rank_exchange.hpp"

namespace zb {

enum class NetRankEntryEnd {
    NameRefused,  // the title menu stays on screen
    NameTaken,    // "サーバー接続中です…" is up: the caller downloads (RankingDownload)
};

inline constexpr const char* kRankNamePrompt =
    "インターネットランキングで使用する名前を入力してください。\r\n"
    "（１２文字以内、コロンとセミコロン使用不可）\r\n\r\n"
    "※ＩＭＥが起動した状態でゲームを始めるとキーを押すたびに文字入力画面になるので、名前入力後は"
    "「半角/全角」キーを押すなどしてＩＭＥが起動していない状態にすることをおすすめします。";

inline constexpr const char* kRankServerFailed = "サーバーの接続に失敗しました。";
// The name entry needs a keyboard; with a pad only, キャンセル goes back to the title.
inline constexpr const char* kRankNeedsKeyboard =
    "名前の入力にはキーボードが必要です。（キャンセルでタイトル画面へ戻ります）";
// A song of the ranking course left from the pause menu ends the course.
inline constexpr const char* kRankNotSentAfterLeaving = "ランキングには送信されません。";

// Asks for the name (refusing one the ranking can't hold) and says that the server is being
// reached.
NetRankEntryEnd NetRankNameEntry(Game& game);

// The download before play from the server in use, on the ranking's worker: the screen that
// starts it looks at it on its passes, every RankExchange::kLookEvery.
class RankingDownload {
  public:
    explicit RankingDownload(Game& game);
    // Shows the boxes the worker reported; nullopt while it runs. Then whether the ranking
    // arrived: it is read into game.ranking, and the local file is emptied either way (between
    // exchanges it holds no ranking).
    std::optional<bool> Look(Game& game);

  private:
    std::shared_ptr<std::optional<std::string>> bytes_;
    RankExchange exchange_;
};

// The ranking course could not go on (the download failed, or a run-time error stopped the
// display or the course before the session after play): tells the player, clears the screen and
// ends the ranking course. The caller shows the title.
void NetRankCourseFailed(Game& game);

}  // namespace zb
