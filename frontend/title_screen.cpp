#include "frontend/title_screen.hpp"

#include <algorithm>
#include <vector>

#include "core/helpers.hpp"
#include "core/menu_keys.hpp"
#include "core/screen_reset.hpp"
#include "course/history_screen.hpp"
#include "course/song_select.hpp"
#include "frontend/opening.hpp"
#include "frontend/opening_slots.hpp"
#include "frontend/ranking_course.hpp"
#include "frontend/settings_screen.hpp"
#include "frontend/startup.hpp"
#include "frontend/title.hpp"
#include "frontend/title_menu.hpp"
#include "netrank/netrank_file.hpp"
#include "platform/fault_switch.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {

constexpr Color kHighlight = Color::Rgb(255, 255, 255);

// The items on show, top to bottom.
std::vector<TitleMenuEntry> ItemsOnShow(const Game& game) {
    std::vector<TitleMenuEntry> items;
    const bool full = game.scores.FullMenu();
    for (const TitleMenuEntry& e : kTitleMenu)
        if (full || e.shortTop != 0) items.push_back(e);
    std::sort(items.begin(), items.end(), [full](const auto& a, const auto& b) {
        return full ? a.fullTop < b.fullTop : a.shortTop < b.shortTop;
    });
    return items;
}

// The difficulty of the course that a title item starts.
int16_t TitleCourseDifficulty(TitleItem item) {
    return item == TitleItem::Easy ? 0 : item == TitleItem::Hard ? 1 : 2;
}

Step OpenItem(TitleItem item, bool byPad = false) {
    switch (item) {
        case TitleItem::Easy:
        case TitleItem::Hard:
        case TitleItem::Wonderful:
            return Step::Push(
                std::make_unique<CourseScreen>(Course{.difficulty = TitleCourseDifficulty(item)}));
        case TitleItem::Settings:
            return Step::Push(std::make_unique<SettingsScreen>());
        case TitleItem::Challenge:
            return Step::Push(
                std::make_unique<CourseScreen>(Course{.difficulty = 3, .challenge = true}));
        case TitleItem::Network:
            return Step::Push(std::make_unique<RankingCourseScreen>(byPad));
    }
    return Step::Stay();
}

}  // namespace

Step TitleScreen::Start(Game& game) {
    Draw(game);
    return Step::Stay();
}

void TitleScreen::Draw(Game& game) {
    TitleHyoji(game);
    cursor_ = -1;
}

Step TitleScreen::Resumed(Game& game, GameScreen&) {
    Draw(game);
    return Step::Stay();
}

Step TitleScreen::Click(Game&, ClickSource source, int index) {
    if (source != ClickSource::Label) return Step::Stay();
    if (const std::optional<TitleItem> item = TitleItemOnLabel(index)) return OpenItem(*item);
    return Step::Stay();
}

Step TitleScreen::Pass(Game& game) {
    if (game.input.GetAsyncKeyState(vk::F8) & kKeyPressedSince)
        return Step::Push(std::make_unique<HistoryScreen>());
    const std::vector<TitleMenuEntry> items = ItemsOnShow(game);
    const int n = int(items.size());
    const int before = cursor_;
    if (TappedWithPad(game.input, vk::Up)) cursor_ = StepHighlight(cursor_, n, -1);
    if (TappedWithPad(game.input, vk::Down)) cursor_ = StepHighlight(cursor_, n, +1);
    if (cursor_ != before)
        for (int i = 0; i < n; ++i)
            game.form.Label[items[size_t(i)].label].BackColor =
                i == cursor_ ? kHighlight : colors::Yellow;
    // Enter takes the highlighted item; before the highlight shows, the title is the mouse's.
    InputQueue& k = game.input;
    const uint16_t key = k.GetAsyncKeyState(vk::Enter);
    const uint16_t pad = k.GetAsyncKeyState(pad::MenuCode(vk::Enter));
    if (!chosen_ && ((key | pad) & kKeyPressedSince) && cursor_ >= 0)
        chosen_ = {items[size_t(cursor_)].item,
                   (pad & kKeyPressedSince) && !(key & kKeyPressedSince)};
    if (chosen_ && !((key | pad) & kKeyDown)) {
        const auto [item, byPad] = *chosen_;
        chosen_.reset();
        return OpenItem(item, byPad);
    }
    return Step::Stay();
}

Step NoticeScreen::Start(Game& game) {
    StartUp(game);
    return Step::Stay();
}

Step NoticeScreen::Pass(Game& game) {
    if (TappedWithPad(game.input, vk::Enter))
        return Step::Replace(std::make_unique<OpeningScreen>());
    return Step::Stay();
}

Step NoticeScreen::Click(Game&, ClickSource, int) {
    return Step::Replace(std::make_unique<OpeningScreen>());
}

Step OpeningScreen::Start(Game& game) {
    AllEnable(game);
    LabelControl& words = game.form.Label[opening_slots::kWordLabel];
    words.Width = 6000;
    words.Height = 6000;
    StartOpening(game);
    return Step::Stay();
}

Step OpeningScreen::Tick(Game& game) {
    Timer1_Timer(game);
    return Step::Stay();
}

// A click during the opening or the story skips to the title. The timer keeps running; it does
// nothing on the title.
Step OpeningScreen::Click(Game& game, ClickSource, int) {
    game.platform.music.SetFileName("");
    return Step::Replace(std::make_unique<TitleScreen>());
}

Step OpeningScreen::Pass(Game& game) {
    if (TappedWithPad(game.input, vk::Enter)) return Click(game, ClickSource::Form, 0);
    return Step::Stay();
}

void AskExitAndEnd(Game& game, const std::function<void()>& leaveScreens) {
    fault::Trip(fault::Place::Close);
    if (game.platform.dialogs.MessageBox("終了しますか？", MsgButtons::OkCancel, MsgIcon::Question,
                                         kAppTitle) != MsgResult::Ok)
        return;
    // The screens leave first: a ranking exchange under way stops before the file is emptied.
    if (leaveScreens) leaveScreens();
    ClearNetRankFile(game);
    WaitMs(game, 1);
    throw ProgramEnd{};
}

void SetUpGameStack(ScreenStack& stack, Game& game) {
    stack.titleScreen = [] { return std::make_unique<TitleScreen>(); };
    stack.closeRequested = [&game, &stack] { AskExitAndEnd(game, [&stack] { stack.LeaveAll(); }); };
}

void RunGame(Game& game) {
    ScreenStack stack(game);
    SetUpGameStack(stack, game);
    stack.Push(game, std::make_unique<NoticeScreen>());
    stack.Run();
}

}  // namespace zb
