#include "core/kit_map.hpp"

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

}  // namespace zb
