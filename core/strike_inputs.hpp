// The four strikes (左足, 右足, 左手, 右手) and what strikes them: one map from each input (a key,
// a pad's input on every pad connected now, by its GUID's binding or its default, a note of every
// drum kit connected now, by its name's binding or the General MIDI map) to the strikes it makes.
// Every input is a key of the key-state machine, so all are stamped, queued and sounded the same
// way.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/game.hpp"

namespace zb {

// What a pad plays with before the player binds it: a game controller's triggers are the feet
// and its shoulder buttons the hands; a controller that calls itself a drum, and any plain
// joystick (most drum controllers), strike with their first four buttons in strike order.
PadStrikeInputs DefaultPadInputs(const PadInfo& pad);
// The pad's binding: the one saved for its GUID, else its default.
PadStrikeInputs PadInputsOf(const Settings& s, const PadInfo& pad);

// The strike's bit in InputStrikes::strikes.
constexpr uint8_t StrikeBit(int strike) {
    return uint8_t(1u << strike);
}

// One input and the strikes it makes.
struct InputStrikes {
    int code = 0;
    uint8_t strikes = 0;  // StrikeBit of each
    // The strikes land together, as two keys struck at once: a big note 良 at once. Otherwise
    // an input bound to both strikes of a pair strikes the second a frame later (see PollKeys),
    // so that one key alone makes a big note only as much as one strike does.
    bool together = false;
    int16_t device = 0;  // its device: StrikeMap::Devices()
    double lateBy = 0;   // the device's input offset in seconds, taken from its stamps
};

class StrikeMap {
  public:
    // Builds the map again when a pad or a kit came or went, a key's binding or a device's offset
    // changed since the last call; otherwise keeps it (the play loop calls this every frame).
    void Refresh(Game& game);
    const std::vector<InputStrikes>& Inputs() const { return inputs_; }
    // The input of a code, or null when it strikes nothing.
    const InputStrikes* Of(int code) const;
    // The first strike the code makes, or -1.
    int FirstStrike(int code) const;
    // The codes that make a strike.
    const std::vector<int>& CodesOf(int strike) const { return codes_[size_t(strike)]; }
    // The devices of the inputs, by InputStrikes::device: the keyboard first.
    const std::vector<std::string>& Devices() const { return devices_; }

  private:
    void Add(int code, uint8_t strikes, bool together, const std::string& device);

    std::vector<InputStrikes> inputs_;  // by code
    std::array<std::vector<int>, 4> codes_;
    std::vector<std::string> devices_;
    std::vector<double> lateBy_;  // by device
    uint64_t padChanges_ = 0, kitChanges_ = 0, deviceChanges_ = 0;
    std::array<int16_t, 4> keys_{};
    bool built_ = false;
};

// The first strike an input makes, or -1 (a menu asks whether a key is a play key).
int StrikeOf(Game& game, int code);

// "4", or "4 / LT" with the pad's input beside the key's label text.
std::string StrikeLabel(const std::string& keyText, const Settings& s, const PadInfo* pad,
                        int strike);

}  // namespace zb
