#include "frontend/kit_binding.hpp"

#include <algorithm>
#include <array>

#include "core/kit_map.hpp"
#include "platform/kit_inputs.hpp"

namespace zb {

namespace {
constexpr std::array<int, 8> kBigVelocities{64, 80, 96, 104, 112, 120, 127, 128};
}  // namespace

int NextBigVelocity(int velocity) {
    const auto next = std::upper_bound(kBigVelocities.begin(), kBigVelocities.end(), velocity);
    return next == kBigVelocities.end() ? kBigVelocities.front() : *next;
}

std::optional<std::pair<KitInfo, int>> KitSettings::Struck() {
    if (const uint64_t seen = keys_.keyboard().KitChanges(); seen != kitsSeen_) {
        kitsSeen_ = seen;
        kits_ = keys_.keyboard().Kits();
    }
    // Every note of every kit is looked at, so that a stroke binds once; the last one wins.
    std::optional<std::pair<KitInfo, int>> struck;
    for (const KitInfo& kit : kits_)
        for (int code = kit::Code(kit.slot, 0, false); code < kit::Code(kit.slot + 1, 0, false);
             ++code)
            if (keys_.GetAsyncKeyState(code) & kKeyPressedSince) struck = {kit, kit::NoteOf(code)};
    return struck;
}

void KitSettings::Pass(Settings& s, int strike, bool stepBig) {
    if (const auto struck = Struck()) {
        struck_ = struck->first.name;
        if (strike >= 0) BindKitNote(s, struck->first.name, strike, struck->second);
    }
    if (const KitInfo* kit = Shown(); kit && stepBig)
        SetKitBigVelocity(s, kit->name, NextBigVelocity(KitBindingOf(s, kit->name).bigVelocity));
}

const KitInfo* KitSettings::Shown() const {
    for (const KitInfo& kit : kits_)
        if (kit.name == struck_) return &kit;
    return kits_.empty() ? nullptr : &kits_.front();
}

std::string KitSettings::NoteText(const Settings& s, int strike) const {
    const KitInfo* kit = Shown();
    if (!kit) return "";
    const int note = KitBindingOf(s, kit->name).shown[size_t(strike)];
    return note < 0 ? "" : " / MIDI " + std::to_string(note);
}

std::string KitSettings::BigVelocityLine(const Settings& s) const {
    const KitInfo* kit = Shown();
    if (!kit) return "F4：キットの強打で大音符（キットをつなぐと設定できます）";
    const int v = KitBindingOf(s, kit->name).bigVelocity;
    return "F4：キットの強打で大音符　" +
           (v > 127 ? std::string("なし") : "強さ " + std::to_string(v) + " 以上");
}

}  // namespace zb
