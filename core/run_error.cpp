#include "core/run_error.hpp"

#include <string>

#include "core/checked.hpp"
#include "core/failure_report.hpp"

namespace zb {

void ReportRunError(const Game& game, const std::exception& e) {
    const Settings& s = game.settings;
    std::string where = ScreenName(game.ScreenState).empty()
                            ? std::string("the game")
                            : "screen " + std::string(ScreenName(game.ScreenState));
    where += " (delay " + std::to_string(s.DelaySetting) + ", frame position " +
             std::to_string(s.FramePosition);
    const int16_t mode = ModifierCode(game.chart.Mode);
    if (mode > 0 && mode < kModifierCount)
        where += ", challenge " + std::string(kModifiers[size_t(mode)].text);
    where += ")";
    ReportFailure("a run-time error stopped " + where + ": " + e.what());
}

void TellRunError(Game& game, const std::exception& e) {
    const std::string_view screen = ScreenName(game.ScreenState);
    const char* why = dynamic_cast<const OverflowError*>(&e)
                          ? "数値が範囲を超えました。設定を見直してください。"
                          : "予期しないエラーです。";
    const std::string text =
        (screen.empty() ? std::string("") : "「" + std::string(screen) + "」で") +
        "エラーが発生しました。\r\n" + why + "\r\nタイトル画面へ戻ります。";
    game.platform.dialogs.MessageBox(text, MsgButtons::Ok, MsgIcon::Error, kAppTitle);
}

}  // namespace zb
