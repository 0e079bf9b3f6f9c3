// Writes Standard MIDI Files for tests: tracks of timed events, with or without running status.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace zb::testing {

class MidiTrack {
  public:
    explicit MidiTrack(bool runningStatus = false) : running_(runningStatus) {}

    // Events must come in tick order.
    MidiTrack& Event(uint32_t tick, std::initializer_list<uint8_t> data) {
        Delta(tick);
        auto it = data.begin();
        if (running_ && *it == status_ && *it < 0xF0) ++it;
        if (*data.begin() < 0xF0) status_ = *data.begin();
        for (; it != data.end(); ++it) bytes_ += char(*it);
        return *this;
    }
    MidiTrack& Note(uint32_t tick, uint8_t channel, uint8_t key, uint8_t velocity = 100) {
        return Event(tick, {uint8_t(0x90 | channel), key, velocity});
    }
    MidiTrack& Tempo(uint32_t tick, uint32_t usPerQuarter) {
        return Event(tick, {0xFF, 0x51, 3, uint8_t(usPerQuarter >> 16), uint8_t(usPerQuarter >> 8),
                            uint8_t(usPerQuarter)});
    }
    // A time signature: `num` beats of 1/2^`pow2` notes.
    MidiTrack& Meter(uint32_t tick, uint8_t num, uint8_t pow2) {
        return Event(tick, {0xFF, 0x58, 4, num, pow2, 24, 8});
    }
    MidiTrack& Name(uint32_t tick, const std::string& name) {
        Delta(tick);
        bytes_ += "\xFF\x03";
        bytes_ += char(name.size());
        bytes_ += name;
        return *this;
    }
    // The track chunk, closed with an end-of-track event at `tick`.
    std::string Chunk(uint32_t tick) const {
        MidiTrack t = *this;
        t.Event(tick, {0xFF, 0x2F, 0});
        return "MTrk" + Be32(uint32_t(t.bytes_.size())) + t.bytes_;
    }

    static std::string Be32(uint32_t v) {
        return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    }

  private:
    void Delta(uint32_t tick) {
        uint32_t d = tick - last_;
        last_ = tick;
        std::string v(1, char(d & 0x7F));
        while (d >>= 7) v.insert(v.begin(), char(0x80 | (d & 0x7F)));
        bytes_ += v;
    }
    bool running_;
    uint8_t status_ = 0;
    uint32_t last_ = 0;
    std::string bytes_;
};

inline std::string MidiHeader(uint16_t format, uint16_t tracks, uint16_t division) {
    return std::string("MThd") + MidiTrack::Be32(6) + char(format >> 8) + char(format) +
           char(tracks >> 8) + char(tracks) + char(division >> 8) + char(division);
}

inline std::string MidiFileBytes(uint16_t format, uint16_t division,
                                 const std::vector<std::string>& chunks) {
    std::string out = MidiHeader(format, uint16_t(chunks.size()), division);
    for (const std::string& c : chunks) out += c;
    return out;
}

}  // namespace zb::testing
