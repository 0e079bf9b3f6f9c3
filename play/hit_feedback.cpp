#include "play/hit_feedback.hpp"

#include "core/devices_file.hpp"
#include "core/picture_sets.hpp"
#include "platform/fault_switch.hpp"

namespace zb {

namespace {
struct Pose {
    int sprite, mask, w, h, x, y;
    const char* sound;
};
// Feet poses are drawn low, hand poses high; the left limbs on the left.
constexpr Pose kPoses[4] = {
    {2, 3, 75, 103, 0, 60, "sound/don.wav"},
    {0, 1, 75, 103, 100, 60, "sound/don.wav"},
    {4, 5, 71, 86, 0, 0, "sound/kan.wav"},
    {6, 7, 71, 86, 100, 0, "sound/kan.wav"},
};
}  // namespace

void HitPose(Game& game, int16_t keyIndex) {
    if (keyIndex < 0 || keyIndex > 3) return;
    const Pose& p = kPoses[keyIndex];
    MainForm& f = game.form;
    // The pose goes over whatever face the drummer shows, so two keys show both limbs.
    BlitMasked(f.pInuUra[size_t(p.sprite)].Dc(), f.pInuUra[size_t(p.mask)].Dc(), 0, 0, p.w, p.h,
               f.pInuMask.Dc(), p.x, p.y);
    BlitCopy(f.pInuMask.Dc(), 0, 0, kDrummerSize, kDrummerSize, f.pInu.Dc(), 0, 0);
}

void HitSound(Game& game, int16_t keyIndex, double stamp) {
    if (keyIndex < 0 || keyIndex > 3) return;
    game.platform.wave.PlayHitSound(game.AppDir() + kPoses[keyIndex].sound, stamp, kPlayerVoice);
}

void HitFeedback(Game& game, int16_t keyIndex) {
    HitPose(game, keyIndex);
    HitSound(game, keyIndex, game.platform.clock.Now());
}

std::vector<std::string> HitSoundFiles(const Game& game) {
    return {game.AppDir() + kPoses[0].sound, game.AppDir() + kPoses[2].sound};
}

StrikeSounds::StrikeSounds(Game& game) : game_(game) {
    // One sound for one key or pad input, even if two strikes share it.
    // It runs inside the window's pumps: what it throws reaches the main loop's boundary.
    game.platform.keyboard.SetDownHandler([&game, this](int code, double at) {
        fault::Trip(fault::Place::KeyDown);
        inputs_.Refresh(game);
        const int k = inputs_.FirstStrike(code);
        if (k >= 0 && game.devices.Sounds(DeviceOfInput(game.platform.keyboard, code)))
            HitSound(game, int16_t(k), at);
    });
}

StrikeSounds::~StrikeSounds() {
    game_.platform.keyboard.SetDownHandler(nullptr);
}

}  // namespace zb
