// Standard MIDI File writing: tracks of timed events, a tempo map that puts chosen ticks at exact
// times, and the file bytes (format 1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

class SmfTrack {
  public:
    explicit SmfTrack(std::string name) : name_(std::move(name)) {}

    void Note(int64_t tick, int64_t length, int channel, int key, int velocity);
    void Program(int64_t tick, int channel, int program);
    void Control(int64_t tick, int channel, int controller, int value);
    void Tempo(int64_t tick, uint32_t microsPerQuarter);
    void TimeSignature(int64_t tick, int numerator, int denominatorPower);

    const std::string& Name() const { return name_; }
    // The track chunk, ending at `endTick` (or at its last event, if later).
    std::string Chunk(int64_t endTick) const;

  private:
    struct Event {
        int64_t tick;
        int order;  // at one tick: meta first, then note-offs, controls, note-ons
        std::string bytes;
    };
    std::string name_;
    std::vector<Event> events_;
};

// Builds the tempo map: anchors say at which time (seconds) a tick must sound. Between anchors the
// tempo is uniform; a tempo event is written only where the time would otherwise drift by more
// than 0.4 ms, so the map stays small: players keep time best with few tempo events.
class TempoMap {
  public:
    explicit TempoMap(int ppq) : ppq_(ppq) {}
    void Anchor(int64_t tick, double seconds);
    // Writes the tempo events into `track`; anchors must have been given in tick order.
    void WriteTo(SmfTrack& track) const;
    // The time of a tick as a MIDI player computes it from the written tempo events.
    double TimeOf(int64_t tick) const;

  private:
    struct Change {
        int64_t tick;
        uint32_t tempo;
        double at;  // seconds at this tick
    };
    void Build() const;
    int ppq_;
    std::vector<std::pair<int64_t, double>> anchors_;
    mutable std::vector<Change> changes_;
    mutable bool built_ = false;
};

// A format-1 file: the tempo map's track first, then the others.
std::string SmfBytes(int ppq, const std::vector<SmfTrack>& tracks, int64_t endTick);

}  // namespace musicgen
