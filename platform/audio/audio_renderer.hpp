// The game's sound, rendered on demand: a FluidSynth synth playing the music's events
// (music_sequence.hpp) and the hit sounds' mixer (hit_mixer.hpp), mixed into the buffers that the
// audio device asks for. It also keeps the audio clock and the music's transport: the song's
// position is the frames rendered since the file was set, laid on the song's own timeline by the
// transport's segments, less the output latency, and carried between callbacks by the monotonic
// clock. The music's events are handed to the synth at the start of each of its blocks where
// that position says, so what is heard is where the position stands.
//
// Two threads, and neither ever waits for the other. The device's callback thread calls Render
// and owns the synth, the player and the mixer; the game thread calls everything else. What the
// game thread asks (a file, read and parsed on the game thread and handed over whole; the
// transport; hit sounds) goes to the audio thread through a lock-free queue and is done at the
// next buffer's start; the audio thread publishes the song's clock without a lock
// (published.hpp), and the game thread lays what it asked since on that copy.
//
// Needs no window and no device: tests and benchmarks call Render directly.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/click_voice.hpp"
#include "platform/audio/drum_part.hpp"
#include "platform/audio/hit_mixer.hpp"
#include "platform/audio/music_sequence.hpp"
#include "platform/audio/published.hpp"
#include "platform/audio/song_clock.hpp"
#include "platform/audio/tempo_map.hpp"
#include "platform/midi/stroke_ring.hpp"
#include "platform/ports.hpp"

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace zb::audio {

// The General MIDI soundfont the music is made for, or the empty string when none is installed.
std::string FindSoundfont();

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

    // --- game thread ---
    // Time from a callback until the last frame it rendered is heard (device buffer + queue).
    void SetOutputLatency(double seconds);
    double OutputLatency() const;
    // The fixed delay from a hit sound's stamp to its first frame, in frames. 0 starts each
    // sound at the first frame of the next buffer (its delay then wanders by up to a buffer);
    // a buffer's length and a margin for the callback's own lateness place every sound the
    // same time after its stamp, at the sample.
    void SetHitDelay(int frames) { hitDelay_.store(frames); }
    int HitDelay() const { return hitDelay_.load(); }
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
    bool Paused() const;
    void Seek(double songSeconds);
    // The song's speed against its own: FluidSynth's player tempo, so the pitch stays.
    void SetTempo(double rate);
    double Tempo() const;
    // Starts a hit sound in `voice` as struck at `stamp` (the clock's timeline), cutting off the
    // one that voice still plays; a file that cannot be read plays nothing. Files are decoded
    // once and kept.
    void PlayHitSound(const std::string& path, double stamp, int voice);
    void PlayWave(const std::string& path) { PlayHitSound(path, clock_.Now(), kPlayerVoice); }
    // The song's drum part from now on, for every file (see drum_part.hpp).
    void SetDrumPart(DrumPart part);
    // The metronome's beats (see click_voice.hpp); none: no clicks. Handed over whole.
    void SetClicks(std::vector<ClickBeat> beats);
    // Called on the audio thread with every event handed to the synth (the song's, and the drum
    // volume the renderer sets): what the synth was given, for tests. Set before the first
    // buffer.
    void TapSynth(std::function<void(const SynthEvent&)> tap) { tap_ = std::move(tap); }
    // Decodes a file ahead and keeps it; false when it cannot be read.
    bool LoadWave(const std::string& path);
    // When the first frame of the latest hit sound was due at the output, on the clock's
    // timeline (the callback's time plus its place in the buffer; -1 before any): with the
    // output latency, when the sound reaches the ear.
    double HitSoundRenderedAt() const { return hitRenderedAt_.load(); }
    // True once the synth has rested (see Render) and no hit sound is left to play or was asked
    // for since: the device may then be closed without cutting anything off.
    bool Silent() const;
    // Buffers not filled in time since the renderer was made: a callback that came a buffer
    // late or rendered longer than its buffer lasts, while something sounded, and what the
    // device itself reports (AddUnderrun).
    uint64_t Underruns() const { return underruns_.load(); }

    // --- audio thread ---
    // Fills `frames` interleaved stereo frames; the buffer's first frame is due at `due` on the
    // clock's timeline (the callback's time unless the device says better).
    void Render(float* out, int frames, double due);
    void Render(float* out, int frames) { Render(out, frames, clock_.Now()); }
    // The device reports a buffer it played empty (JACK's xrun).
    void AddUnderrun() { underruns_.fetch_add(1); }
    // A device that reports every gap itself: a late buffer is then not counted again (it
    // still starts the frames' timing afresh). Before the first Render.
    void SetDeviceCountsGaps(bool on) { deviceCountsGaps_ = on; }

  private:
    // A file read and parsed on the game thread, handed over whole; freed by the game thread
    // once the audio thread gave it back.
    struct Song {
        std::string path;
        MusicSequence music;
    };
    struct Request {
        enum class Kind : uint8_t {
            File,
            Stop,
            Pause,
            Resume,
            Seek,
            Tempo,
            Latency,
            Hit,
            Drums,
            Clicks
        };
        Kind kind = Kind::Hit;
        uint64_t number = 0;
        double at = 0;     // File: the clock's time; Hit: the stamp
        double heard = 0;  // Pause, Seek: where the new segment starts
        double song = 0;   // Pause, Seek, Resume: the song there; Stop: where it stays
        double value = 0;  // Tempo: the rate; Latency: seconds; Drums: the part
        const Song* file = nullptr;
        const WaveData* wave = nullptr;
        int voice = 0;
        std::vector<ClickBeat>* beats = nullptr;  // Clicks: given back holding the old ones
    };

    // Game thread.
    void Send(const Request& r);
    SongClock View() const;
    std::shared_ptr<const WaveData> Wave(const std::string& path);

    // Both: what a request does to the song's clock; `firstHeard` where a new file starts.
    static void Apply(SongClock& c, const Request& r, double firstHeard);

    // Audio thread.
    void Take(const Request& r);
    void AdvanceClock(int frames, double due);
    int64_t PlaceHit(double stamp) const;
    // What the game thread asked of the music since the last buffer, done at its first block.
    void ApplyTransport();
    int64_t LeftInBlock() const;
    // The synth's frames of this buffer, handing it the music's events due at each of its block
    // starts.
    void RenderSynth(float* out, int frames);
    bool MusicRunning() const;
    // The music from `song` on: what sounds stops, and the controllers, programs and bends
    // written before it are given again so that the channels stand as the file has them there.
    void SeekMusic(double song);
    void CountUnderrun(int frames, double due);
    // One of the song's events to the synth, past the drum part's choice.
    void PlayEvent(const MusicEvent& m);
    void Hand(const SynthEvent& e);
    // The clicks of this buffer, at the song's position of each frame.
    void MixClicks(float* out, int frames);
    static constexpr int64_t kBlock = 64;  // FluidSynth's block: events are taken at its start

    Clock& clock_;
    const int rate_;

    // --- the audio thread's own (and the constructor's) ---
    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    const Song* song_ = nullptr;  // the file playing
    size_t next_ = 0;             // its next event for the synth
    HitMixer mixer_;
    ClickVoice clicks_;
    std::vector<double> frameSongs_;  // the song's position at each frame of the buffer
    DrumPart drums_ = DrumPart::Full;
    int drumVolume_ = 100;  // the drum part's volume as the song writes it
    std::function<void(const SynthEvent&)> tap_;
    int64_t stillFrames_ = 0;  // frames rendered since the music and its voices went quiet
    float gain_ = 1.0f;        // the music's gain now, gliding towards the target
    float rampTarget_ = 1.0f, rampStep_ = 0.0f;
    int64_t synthFrames_ = 0;    // frames the synth has given since it was made
    bool musicStopped_ = false;  // paused: no event goes to the synth
    bool tempoDue_ = false, pauseDue_ = false, resumeDue_ = false, seekDue_ = false;
    double seekSong_ = 0;              // where the next buffer seeks the music to
    SongClock truth_{};                // the song's clock, the true one
    std::array<double, 32> recent_{};  // the offsets that the latest callbacks measured
    size_t recentNext_ = 0, recentCount_ = 0;
    int64_t outFrames_ = 0;               // frames rendered since the renderer was made
    double outOffset_ = 0;                // frame f is due at outOffset_ + f / rate
    std::array<double, 32> outRecent_{};  // the same for the output's frames
    size_t outNext_ = 0, outCount_ = 0;
    bool sounding_ = false;  // the last buffer held music or a hit sound
    bool deviceCountsGaps_ = false;

    // --- shared ---
    midi::SpscRing<Request, 1024> requests_;                 // game thread -> audio thread
    midi::SpscRing<const Song*, 64> done_;                   // files the audio thread let go of
    midi::SpscRing<std::vector<ClickBeat>*, 64> doneBeats_;  // and the metronome's old beats
    Published<SongClock> published_;
    std::atomic<uint64_t> takenNumber_{0};    // the latest request the audio thread took
    std::atomic<uint64_t> silentThrough_{0};  // silent after every request up to this one
    std::atomic<float> targetGain_{1.0f};
    std::atomic<double> hitRenderedAt_{-1.0};
    std::atomic<int> hitDelay_{0};
    std::atomic<uint64_t> underruns_{0};

    // --- the game thread's own ---
    uint64_t sent_ = 0;                         // requests numbered so far
    std::deque<Request> unsent_;                // waiting for room in the queue
    std::deque<Request> asked_;                 // sent, maybe not yet taken: laid on the view
    std::vector<std::unique_ptr<Song>> songs_;  // handed over, not yet given back
    std::vector<std::unique_ptr<std::vector<ClickBeat>>> beatLists_;  // the same for beats
    std::map<std::string, std::shared_ptr<const WaveData>> waves_;    // decoded, by path
};

}  // namespace zb::audio
