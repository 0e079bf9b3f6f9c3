#include "core/kit_map.hpp"

#include <algorithm>
#include <cctype>

#include "platform/kit_inputs.hpp"

namespace zb {

KitBinding DefaultKitBinding() {
    KitBinding b;
    b.strikes.fill(-1);
    const auto bind = [&](int strike, std::initializer_list<int> notes) {
        for (int n : notes) b.strikes[size_t(n)] = int8_t(strike);
    };
    bind(0, {35, 36});
    bind(1, {44});
    bind(2, {37, 38, 39, 40, 41, 43, 45, 47, 48, 50});
    bind(3, {42, 46, 49, 51, 52, 53, 55, 57, 59});
    b.bigVelocity = kit::kDefaultBigVelocity;
    b.shown = {36, 44, 38, 42};
    return b;
}

KitBinding KitBindingOf(const Settings& s, const std::string& kitName) {
    const auto it = s.KitBindings.find(kitName);
    return it != s.KitBindings.end() ? it->second : DefaultKitBinding();
}

void BindKitNote(Settings& s, const std::string& kitName, int strike, int note) {
    if (strike < 0 || strike > 3 || note < 0 || note >= kit::kNotes) return;
    KitBinding b = KitBindingOf(s, kitName);
    b.strikes[size_t(note)] = int8_t(strike);
    b.shown[size_t(strike)] = int16_t(note);
    // A strike that showed this note shows another of its own, if it has one.
    for (size_t k = 0; k < 4; ++k) {
        if (int(k) == strike || b.shown[k] != note) continue;
        b.shown[k] = -1;
        for (int n = 0; n < kit::kNotes && b.shown[k] < 0; ++n)
            if (b.strikes[size_t(n)] == int(k)) b.shown[k] = int16_t(n);
    }
    s.KitBindings[kitName] = b;
}

void SetKitBigVelocity(Settings& s, const std::string& kitName, int velocity) {
    KitBinding b = KitBindingOf(s, kitName);
    b.bigVelocity = int16_t(velocity);
    s.KitBindings[kitName] = b;
}

void SetKitFloor(Settings& s, const std::string& kitName, int note, int velocity) {
    if (note < 0 || note >= kit::kNotes) return;
    KitBinding b = KitBindingOf(s, kitName);
    b.hygiene.floor[size_t(note)] = uint8_t(std::clamp(velocity, 0, 127));
    s.KitBindings[kitName] = b;
}

std::string CrosstalkRatioText(int percent) {
    if (percent % 100 == 0) return std::to_string(percent / 100);
    std::string s = "0." + std::string(percent < 10 ? "0" : "") + std::to_string(percent);
    if (s.back() == '0') s.pop_back();
    return s;
}

bool ReadCrosstalkRatio(const std::string& text, int& percent) {
    if (text == "0" || text == "1") {
        percent = text == "1" ? 100 : 0;
        return true;
    }
    const bool shape = (text.size() == 3 || text.size() == 4) && text.rfind("0.", 0) == 0 &&
                       std::isdigit(static_cast<unsigned char>(text[2])) &&
                       (text.size() == 3 || std::isdigit(static_cast<unsigned char>(text[3])));
    if (!shape) return false;
    percent = (text[2] - '0') * 10 + (text.size() == 4 ? text[3] - '0' : 0);
    return true;
}

}  // namespace zb
