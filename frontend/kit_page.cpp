#include "frontend/kit_page.hpp"

#include <algorithm>

#include "core/devices_file.hpp"
#include "core/kit_map.hpp"
#include "core/screen_reset.hpp"
#include "frontend/settings_slots.hpp"
#include "platform/kit_inputs.hpp"

namespace zb {

namespace {

using namespace settings_slots;

constexpr const char* kStrikeNames[4] = {"左足", "右足", "左手", "右手"};
constexpr size_t kLines = 5;  // the four strikes, then 叩いた音
constexpr size_t kLogLines = 6;

std::string FateWord(kit::Fate f) {
    switch (f) {
        case kit::Fate::Floor:
            return "下限";
        case kit::Fate::Retrigger:
            return "二度打ち";
        case kit::Fate::Crosstalk:
            return "クロストーク";
        default:
            return "";
    }
}

void Show(LabelControl& l, int left, int top, int width, int height, std::string caption,
          double fontSize, Color color) {
    l.Left = left, l.Top = top, l.Width = width, l.Height = height;
    l.BackColor = colors::Black;
    l.ForeColor = color;
    l.Caption = std::move(caption);
    l.FontSize = fontSize;
    l.Alignment = Align::Left;
    l.Visible = true;
}

}  // namespace

Step KitPageScreen::Start(Game& game) {
    AllEnable(game);
    MainForm& f = game.form;
    f.BackColor = colors::Black;
    for (size_t item = 0; item < kItemCount; ++item) {
        f.Label[kNameLabel[item]].Visible = false;
        f.Label[kValueLabel[item]].Visible = false;
    }
    Show(f.Label[kCursorLabel], 500, 1000, 500, 500, "→", 24, colors::Yellow);
    for (size_t i = 0; i < kLines; ++i) {
        Show(f.Label[kNameLabel[i]], 1000, 1000 + int(i) * 500, 2000, 500,
             i < 4 ? kStrikeNames[i] : "叩いた音", 24, colors::Red);
        Show(f.Label[kValueLabel[i]], 3000, 1000 + int(i) * 500, 6000, 500, "", 24, colors::Red);
    }
    Show(f.Label[kNameLabel[kLines]], 1000, 300, 8000, 600, "", 24, colors::White);  // the kit
    Show(f.Label[kExtrasLabel], 1000, 3700, 8000, 2500, "", 15, colors::White);      // strokes
    Show(f.Label[kHelpLabel], 1000, 6300, 8000, 1200,
         "↑↓で項目選択、そっと3回叩くとその音の下限、←→で調整\r\n"
         "叩いた音：←→でゲームの音のあり・なし　Esc・F6で戻る",
         15, colors::White);
    keys_.emplace(game, kSettingsKeys);
    return Pass(game);
}

const KitInfo* KitPageScreen::Shown() const {
    for (const KitInfo& kit : kits_)
        if (kit.name == struck_) return &kit;
    return kits_.empty() ? nullptr : &kits_.front();
}

void KitPageScreen::Take(Game& game, const InputEvent& e) {
    const auto kit = std::find_if(kits_.begin(), kits_.end(),
                                  [&](const KitInfo& k) { return k.slot == e.device.slot; });
    if (kit == kits_.end()) return;
    struck_ = kit->name;
    const KitBinding b = KitBindingOf(game.settings, kit->name);
    const int note = kit::NoteOf(e.code), strike = b.strikes[size_t(note)];
    std::string fate;
    if (e.kind == InputKind::KitDropped)
        fate = "落とした：" + FateWord(kit::Fate(e.index));
    else if (strike < 0)
        fate = "落とした：割り当てなし";
    else
        fate = std::string(kStrikeNames[strike]) +
               (kit::IsHard(e.code) ? std::string("＋") + kStrikeNames[strike ^ 1] : "");
    log_.push_back("MIDI " + std::to_string(note) + "　強さ " + std::to_string(e.velocity) + "　" +
                   fate);
    if (log_.size() > kLogLines) log_.erase(log_.begin());
    // Soft strokes of one pad on a strike's line set its note's floor (those under the floor
    // in force too); a double trigger or crosstalk is no stroke of the player's.
    const bool struck = e.kind != InputKind::KitDropped || kit::Fate(e.index) == kit::Fate::Floor;
    if (!struck || cursor_ >= 4 || strike != int(cursor_)) return;
    lineNote_[cursor_] = note;
    if (note != softNote_) soft_.clear(), softNote_ = note;
    soft_.push_back(e.velocity);
    if (soft_.size() < size_t(kFloorStrokes)) return;
    const int softest = *std::min_element(soft_.begin(), soft_.end());
    SetKitFloor(game.settings, kit->name, note, softest + kFloorMargin);
    soft_.clear();
}

Step KitPageScreen::Pass(Game& game) {
    Keyboard& kb = game.platform.keyboard;
    if (const uint64_t seen = kb.KitChanges(); seen != kitsSeen_) {
        kitsSeen_ = seen;
        kits_ = kb.Kits();
    }
    for (const InputEvent& e : game.input.TakeKitStrokes()) Take(game, e);
    // Only a fresh press leaves: F6 is still down from opening the page.
    if (keys_->Tapped(vk::Escape) || keys_->Tapped(vk::F6)) return Step::Pop();
    const MenuPress press = keys_->Pass({vk::Up, vk::Down, vk::Right, vk::Left});
    const KitInfo* kit = Shown();
    if (press.acts && (press.key == vk::Up || press.key == vk::Down)) {
        cursor_ = (cursor_ + (press.key == vk::Up ? kLines - 1 : 1)) % kLines;
        soft_.clear();
    }
    if (press.acts && kit && (press.key == vk::Left || press.key == vk::Right)) {
        const int dir = press.key == vk::Right ? 1 : -1;
        if (cursor_ == 4) {
            const std::string device = KitDevice(*kit);
            game.devices.SetSounds(device, !game.devices.Sounds(device));
        } else if (const int note = lineNote_[cursor_] >= 0
                                        ? lineNote_[cursor_]
                                        : KitBindingOf(game.settings, kit->name).shown[cursor_];
                   note >= 0) {
            const int floor = KitBindingOf(game.settings, kit->name).hygiene.floor[size_t(note)];
            SetKitFloor(game.settings, kit->name, note, floor + dir);
        }
    }
    // The kits strike by their rules here too, changed ones at once.
    for (const KitInfo& k : kits_)
        kb.SetKitHygiene(k.slot, KitBindingOf(game.settings, k.name).hygiene);
    Draw(game);
    return Step::Stay();
}

void KitPageScreen::Draw(Game& game) {
    MainForm& f = game.form;
    f.Label[kCursorLabel].Top = 1000 + int(cursor_) * 500;
    const KitInfo* kit = Shown();
    f.Label[kNameLabel[kLines]].Caption =
        kit ? "キット：" + kit->name : std::string("キット：つながっていません");
    const KitBinding b = kit ? KitBindingOf(game.settings, kit->name) : KitBinding{};
    for (size_t k = 0; k < 4; ++k) {
        const int note = lineNote_[k] >= 0 ? lineNote_[k] : b.shown[k];
        std::string v;
        if (kit && note >= 0) {
            v = "MIDI " + std::to_string(note) + "　下限 ";
            const int floor = b.hygiene.floor[size_t(note)];
            v += floor ? std::to_string(floor) : std::string("なし");
            if (cursor_ == k && !soft_.empty() && softNote_ == note)
                v += "　（あと" + std::to_string(kFloorStrokes - int(soft_.size())) + "回）";
        }
        f.Label[kValueLabel[k]].Caption = v;
    }
    f.Label[kValueLabel[4]].Caption =
        kit ? (game.devices.Sounds(KitDevice(*kit)) ? "あり" : "なし") : "";
    std::string log;
    for (const std::string& line : log_) log += line + "\r\n";
    f.Label[kExtrasLabel].Caption = log.empty() ? "パッドを叩くとここに出ます" : log;
}

double KitPageScreen::WakeAt(Game& game) {
    return game.input.AnyKeyDown() ? game.platform.clock.Now() + 0.04 : kNoWake;
}

}  // namespace zb
