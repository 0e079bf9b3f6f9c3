// The game's sound, rendered on demand: a FluidSynth synth and MIDI player for the music and one
// hit-sound voice, mixed into the buffers that the audio device asks for. It also keeps the audio
// clock and the music's transport: the song's position is where FluidSynth's player stands on
// the song's own timeline (its tick through the file's tempo map), carried between ticks by the
// frames rendered, less the output latency, and between callbacks by the monotonic clock.
//
// Needs no window and no device: tests and benchmarks call Render directly. The device's
// callback thread calls Render; the game thread calls everything else.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/click_voice.hpp"
#include "platform/audio/drum_part.hpp"
#include "platform/audio/tempo_map.hpp"
#include "platform/ports.hpp"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;
struct _fluid_midi_event_t;

namespace zb::audio {

// The General MIDI soundfont the music is made for, or the empty string when none is installed.
std::string FindSoundfont();

// A decoded hit sound: interleaved stereo float frames at the renderer's rate.
struct WaveData {
    std::vector<float> samples;
    size_t Frames() const { return samples.size() / 2; }
};

// Reads a WAV file and converts it to stereo float at `rate`; null when it cannot be read.
std::shared_ptr<const WaveData> DecodeWave(const std::string& path, int rate);

class AudioRenderer {
  public:
    // An empty soundfont path (or one that fails to load) leaves the renderer without a synth:
    // the music is silent, hit sounds still play and the clock still runs.
    AudioRenderer(Clock& clock, int sampleRate, const std::string& soundfont);
    ~AudioRenderer();
    AudioRenderer(const AudioRenderer&) = delete;
    AudioRenderer& operator=(const AudioRenderer&) = delete;

    bool HasSynth() const { return synth_ != nullptr; }
    int SampleRate() const { return rate_; }

    // Time from a callback until the last frame it rendered is heard (device buffer + queue).
    void SetOutputLatency(double seconds);
    double OutputLatency() const;

    // --- game thread ---
    // A path starts that MIDI file from its beginning; the empty string stops the music. A file
    // that cannot be read plays silence, and its position runs on like any other.
    void SetFile(const std::string& path);
    // 1/100 dB, 0 = full level; applies to the music only.
    void SetVolume(int32_t hundredthsDb);
    // Seconds of the song's own timeline at a moment of the clock's timeline.
    double PositionAt(double clockSeconds) const;
    // The transport (see MusicPlayer in platform/ports.hpp). Each takes effect on the player at
    // the next buffer; the position says it at once: a pause or a seek holds the position where
    // it goes until the music is heard from there.
    void Pause();
    void Resume();
    bool Paused() const { return paused_; }
    void Seek(double songSeconds);
    // The song's speed against its own: FluidSynth's player tempo, so the pitch stays.
    void SetTempo(double rate);
    double Tempo() const { return tempo_; }
    // Starts a hit sound, cutting off the one still playing; a file that cannot be read plays
    // nothing. Files are decoded once and kept.
    void PlayWave(const std::string& path);
    // The song's drum part from now on, for every file (see drum_part.hpp).
    void SetDrumPart(DrumPart part);
    // The metronome's beats (see click_voice.hpp); none: no clicks.
    void SetClicks(std::vector<ClickBeat> beats);
    // Called on the audio thread with every event handed to the synth (the song's, and the drum
    // volume the renderer sets): what the synth was given, for tests. Set before the music.
    void TapSynth(std::function<void(const SynthEvent&)> tap);
    // Decodes a file ahead and keeps it; false when it cannot be read.
    bool LoadWave(const std::string& path);
    // The clock time of the callback that rendered the first frame of the latest hit sound
    // (-1 before any): with the output latency, when the sound reaches the ear.
    double HitSoundRenderedAt() const { return hitRenderedAt_.load(); }
    // True once the synth has rested (see Render) and no hit sound is left to play: the device
    // may then be closed without cutting anything off.
    bool Silent() const { return silent_.load(); }

    // --- audio thread ---
    // Fills `frames` interleaved stereo frames.
    void Render(float* out, int frames);

  private:
    struct Voice {
        std::shared_ptr<const WaveData> data;
        size_t pos = 0;
        int fadeLeft = -1;  // >= 0: a cut-off voice, silent after that many more frames
    };
    void MixVoice(Voice& v, float* out, int frames);
    // The player's playback callback: the song's events pass the drum part's choice on their way
    // to the synth.
    static int HandEvent(void* self, _fluid_midi_event_t* event);
    void Hand(const SynthEvent& e);
    // The clicks of this buffer, at the song's position of each frame.
    void MixClicks(float* out, int frames);
    std::shared_ptr<const WaveData> Wave(const std::string& path);
    void AdvanceClock(int frames, double callbackTime);
    // What the game thread asked of the player since the last buffer, done at its first block.
    void ApplyTransport();
    // Moves the song's position towards the player's tick when they part; `synthBefore` is
    // synthFrames_ before this buffer.
    void FollowTick(int64_t synthBefore);
    // Frames of the synth's current block still to give: a player change starts after them.
    int64_t LeftInBlock() const;
    // Sets the seek that the next buffer makes (under synthMutex_).
    void QueueSeek(double songSeconds);
    static constexpr int64_t kBlock = 64;  // FluidSynth's block: the player runs at its start

    // From `heard` on (seconds of frames rendered since the file was set, as they are heard),
    // the song runs from `song` at `rate` (0 while paused).
    struct Segment {
        double heard = 0, song = 0, rate = 0;
    };
    // Under clockMutex_.
    double HeardAt(double clockSeconds) const;
    double SongAt(double heard) const;
    void StartSegment(Segment s);
    Clock& clock_;
    const int rate_;

    // The synth and the voices: held by Render for one buffer.
    mutable std::mutex synthMutex_;
    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    _fluid_player_t* player_ = nullptr;
    Voice voice_, fading_;
    ClickVoice clicks_;
    std::vector<double> frameSongs_;  // the song's position at each frame of the buffer
    DrumPart drums_ = DrumPart::Full;
    int drumVolume_ = 100;  // the drum part's volume as the song writes it
    std::function<void(const SynthEvent&)> tap_;
    int64_t stillFrames_ = 0;  // frames rendered since the music and its voices went quiet
    float gain_ = 1.0f;        // the music's gain now, gliding towards the target
    float rampTarget_ = 1.0f, rampStep_ = 0.0f;
    TempoMap tempoMap_;           // of the file playing; written by the game thread under the lock
    int64_t synthFrames_ = 0;     // frames the synth has given since it was made
    bool playerStopped_ = false;  // the player is paused
    bool startDue_ = false;       // a file was set: the player starts with the next buffer
    bool tempoDue_ = false, pauseDue_ = false, resumeDue_ = false, seekDue_ = false;
    int64_t seekTick_ = 0;                 // where the next buffer seeks the player to
    double seekSong_ = 0;                  // and the song's position there
    std::array<double, 16> tickErrors_{};  // the player's tick against the position, lately
    size_t tickErrorCount_ = 0;

    // The transport as the game thread set it (written under synthMutex_).
    bool paused_ = false;
    double tempo_ = 1.0;

    std::atomic<float> targetGain_{1.0f};
    std::atomic<double> hitRenderedAt_{-1.0};
    std::atomic<bool> silent_{false};

    // The audio clock; kept apart from the synth so that reading the position never waits for
    // a buffer to render.
    mutable std::mutex clockMutex_;
    bool playing_ = false;
    int64_t framesSinceSet_ = 0;
    bool anchored_ = false;            // a callback has rendered since the file was set
    double setAt_ = 0;                 // clock time when the file was set
    double offset_ = 0;                // position = clock time - offset_ (smoothed over callbacks)
    std::array<double, 32> recent_{};  // the offsets that the latest callbacks measured
    size_t recentNext_ = 0, recentCount_ = 0;
    double stoppedPos_ = 0;                            // the position that stays after a stop
    std::vector<Segment> segments_{Segment{0, 0, 1}};  // by `heard`; the latest few
    double latency_ = 0;

    // Decoded hit sounds by path (game thread only).
    std::map<std::string, std::shared_ptr<const WaveData>> waves_;
};

}  // namespace zb::audio
