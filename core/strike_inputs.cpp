#include "core/strike_inputs.hpp"

#include <algorithm>
#include <cctype>

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

std::vector<int> StrikeCodes(Game& game, int strike) {
    std::vector<int> codes{game.settings.KeyCodes[size_t(strike)]};
    for (const PadInfo& p : game.platform.keyboard.Pads()) {
        const int input = PadInputsOf(game.settings, p)[size_t(strike)];
        if (input >= 0) codes.push_back(pad::Code(p.slot, input));
    }
    return codes;
}

const std::vector<int>& StrikeCodeTable::Of(Game& game, int strike) {
    const uint64_t changes = game.platform.keyboard.PadChanges();
    if (!built_ || changes != padChanges_ || keys_ != game.settings.KeyCodes) {
        for (size_t k = 0; k < codes_.size(); ++k) codes_[k] = StrikeCodes(game, int(k));
        padChanges_ = changes;
        keys_ = game.settings.KeyCodes;
        built_ = true;
    }
    return codes_[size_t(strike)];
}

int StrikeOf(Game& game, int code) {
    const auto& keys = game.settings.KeyCodes;
    if (!pad::IsPadCode(code)) {
        const auto it = std::find(keys.begin(), keys.end(), code);
        return it == keys.end() ? -1 : int(it - keys.begin());
    }
    for (const PadInfo& p : game.platform.keyboard.Pads()) {
        if (p.slot != pad::SlotOf(code)) continue;
        const PadStrikeInputs in = PadInputsOf(game.settings, p);
        const auto it = std::find(in.begin(), in.end(), pad::InputOf(code));
        return it == in.end() ? -1 : int(it - in.begin());
    }
    return -1;
}

std::string StrikeLabel(const std::string& keyText, const Settings& s, const PadInfo* pad,
                        int strike) {
    if (!pad) return keyText;
    const int input = PadInputsOf(s, *pad)[size_t(strike)];
    if (input < 0) return keyText;
    return keyText + " / " + pad::InputLabel(input);
}

}  // namespace zb
