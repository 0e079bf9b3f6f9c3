#include "core/strike_inputs.hpp"

#include <algorithm>
#include <cctype>

#include "core/devices_file.hpp"
#include "core/kit_map.hpp"
#include "platform/kit_inputs.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {
bool CallsItselfADrum(const std::string& name) {
    std::string lower = name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("drum") != std::string::npos || lower.find("taiko") != std::string::npos;
}
}  // namespace

PadStrikeInputs DefaultPadInputs(const PadInfo& pad) {
    using namespace pad;
    if (!pad.controller)
        return {int16_t(RawButton(0)), int16_t(RawButton(1)), int16_t(RawButton(2)),
                int16_t(RawButton(3))};
    if (CallsItselfADrum(pad.name)) return {A, B, X, Y};
    return {int16_t(Axis(LeftTrigger, true)), int16_t(Axis(RightTrigger, true)), LeftShoulder,
            RightShoulder};
}

PadStrikeInputs PadInputsOf(const Settings& s, const PadInfo& pad) {
    const auto it = s.PadInputs.find(pad.guid);
    return it != s.PadInputs.end() ? it->second : DefaultPadInputs(pad);
}

void StrikeMap::Add(int code, uint8_t strikes, bool together, const std::string& device) {
    const auto it = std::lower_bound(inputs_.begin(), inputs_.end(), code,
                                     [](const InputStrikes& in, int c) { return in.code < c; });
    if (it != inputs_.end() && it->code == code) {
        it->strikes |= strikes;
        return;
    }
    const int16_t index =
        int16_t(std::find(devices_.begin(), devices_.end(), device) - devices_.begin());
    inputs_.insert(it, InputStrikes{code, strikes, together, index, lateBy_[size_t(index)]});
}

void StrikeMap::Refresh(Game& game) {
    Keyboard& kb = game.platform.keyboard;
    const uint64_t changes = kb.PadChanges(), kitChanges = kb.KitChanges();
    if (built_ && changes == padChanges_ && kitChanges == kitChanges_ &&
        keys_ == game.settings.KeyCodes && game.devices.changes == deviceChanges_)
        return;
    inputs_.clear();
    devices_.clear();
    // Every device's offset, in the order the devices come (the keyboard first).
    std::vector<std::string> names{KeyboardDevice()};
    for (const PadInfo& p : kb.Pads()) names.push_back(PadDevice(p));
    for (const KitInfo& kit : kb.Kits()) names.push_back(KitDevice(kit));
    lateBy_.clear();
    for (const std::string& name : names) {
        if (std::find(devices_.begin(), devices_.end(), name) != devices_.end()) continue;
        devices_.push_back(name);
        lateBy_.push_back(game.devices.OffsetOf(name) / 1000.0);
    }
    for (size_t k = 0; k < 4; ++k)
        Add(game.settings.KeyCodes[k], StrikeBit(int(k)), false, KeyboardDevice());
    for (const PadInfo& p : kb.Pads()) {
        const PadStrikeInputs in = PadInputsOf(game.settings, p);
        for (size_t k = 0; k < 4; ++k)
            if (in[k] >= 0) Add(pad::Code(p.slot, in[k]), StrikeBit(int(k)), false, PadDevice(p));
    }
    for (auto& codes : codes_) codes.clear();
    for (const InputStrikes& in : inputs_)
        for (size_t k = 0; k < 4; ++k)
            if (in.strikes & StrikeBit(int(k))) codes_[k].push_back(in.code);
    // A kit's soft stroke makes its note's strike; a hard one (the kit's adapter tells them
    // apart by the binding's velocity) both strikes of the pair, together.
    for (const KitInfo& kit : kb.Kits()) {
        const KitBinding b = KitBindingOf(game.settings, kit.name);
        kb.SetKitBigVelocity(kit.slot, b.bigVelocity);
        kb.SetKitHygiene(kit.slot, b.hygiene);
        for (int n = 0; n < kit::kNotes; ++n) {
            const int s = b.strikes[size_t(n)];
            if (s < 0 || s > 3) continue;
            Add(kit::Code(kit.slot, n, false), StrikeBit(s), false, KitDevice(kit));
            Add(kit::Code(kit.slot, n, true), uint8_t(StrikeBit(s) | StrikeBit(s ^ 1)), true,
                KitDevice(kit));
        }
    }
    padChanges_ = changes;
    kitChanges_ = kitChanges;
    keys_ = game.settings.KeyCodes;
    deviceChanges_ = game.devices.changes;
    built_ = true;
}

const InputStrikes* StrikeMap::Of(int code) const {
    const auto it = std::lower_bound(inputs_.begin(), inputs_.end(), code,
                                     [](const InputStrikes& in, int c) { return in.code < c; });
    return it != inputs_.end() && it->code == code ? &*it : nullptr;
}

int StrikeMap::FirstStrike(int code) const {
    const InputStrikes* in = Of(code);
    if (!in) return -1;
    for (int k = 0; k < 4; ++k)
        if (in->strikes & StrikeBit(k)) return k;
    return -1;
}

std::string StrikeLabel(const std::string& keyText, const Settings& s, const PadInfo* pad,
                        int strike) {
    if (!pad) return keyText;
    const int input = PadInputsOf(s, *pad)[size_t(strike)];
    if (input < 0) return keyText;
    return keyText + " / " + pad::InputLabel(input);
}

int StrikeOf(Game& game, int code) {
    StrikeMap map;
    map.Refresh(game);
    return map.FirstStrike(code);
}

}  // namespace zb
