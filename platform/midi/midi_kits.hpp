// MIDI drum kits through RtMidi: the ALSA sequencer where the machine has one, JACK where a JACK
// server runs. Kits may come and go at any time; a thread of its own looks for them every two
// seconds and opens each device once (through ALSA when both offer it). A note-on is stamped on
// the MIDI thread with the game's clock and handed over without a lock (stroke_ring.hpp), and a
// relay thread wakes the window (wake_relay.hpp); the game thread then gives it to the key-state
// machine as a tap of the note's code (kit::Code). A kit the kit thread fails to open is dropped
// with one line on standard error and looked for again at the next look.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/key_states.hpp"

namespace zb::midi {

class MidiKits {
  public:
    // `wake` is called when strokes arrive or kits come and go, on a relay thread of the kits'
    // own, never on the MIDI thread: it wakes the window's wait and may take a lock. `client`
    // names the game's own MIDI clients, which are never taken for a kit.
    MidiKits(Clock& clock, KeyStateKeyboard& keys, std::function<void()> wake,
             std::string client = "zubakko");
    ~MidiKits();
    MidiKits(const MidiKits&) = delete;
    MidiKits& operator=(const MidiKits&) = delete;

    // On the game thread: hands the strokes that arrived, and the kits that came or went, to the
    // keyboard. True when anything came.
    bool Pump();
    // Looks for kits now instead of at the next look (tests and benchmarks); waits for the look.
    void LookNow();

    // The device's name without the client and port numbers ALSA gives it for this session:
    // "TD-17:TD-17 MIDI 1 20:0" -> "TD-17:TD-17 MIDI 1".
    static std::string StableName(const std::string& port);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zb::midi
