#include "platform/audio/audio_renderer.hpp"

#include <SDL.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

#include "platform/held_stderr.hpp"
#include "platform/stderr_line.hpp"

namespace zb::audio {

namespace {

// The audio clock follows the callbacks smoothly; a jump larger than this (an underrun, a device
// that stalled) is taken at once.
constexpr double kSnapSeconds = 0.030;
constexpr double kFollow = 0.05;
// A cut-off hit sound fades over this many frames instead of clicking.
constexpr int kCutFadeFrames = 96;
constexpr int kGainRampFrames = 256;
// The synth's own level; the music files are written to peak below full scale at this gain.
constexpr double kSynthGain = 0.6;
// The position follows the player's tick when they part by more than this on the mean.
constexpr double kTickTolerance = 0.0015;

void Quiet(int, const char*, void*) {}

// FluidSynth's errors. During one of our calls they are kept and written with the call's file
// if the call fails (see Failed); found while playing (a file that is not MIDI after all), they
// are written at once with the music's file.
std::mutex fluidMutex;
std::string fluidError, musicFile;
thread_local bool inCall = false;

void OnFluidError(int, const char* message, void*) {
    std::lock_guard lock(fluidMutex);
    if (inCall) {
        if (fluidError.empty()) fluidError = message ? message : "";  // the first says most
    } else {
        SayOnStderr(musicFile + ": " + (message ? message : ""));
    }
}

void BeginCall() {
    std::lock_guard lock(fluidMutex);
    fluidError.clear();
    inCall = true;
}

// Writes what failed, and FluidSynth's reason if it gave one, as one line.
void Failed(const std::string& what) {
    std::string reason;
    {
        std::lock_guard lock(fluidMutex);
        reason.swap(fluidError);
    }
    SayOnStderr(reason.empty() ? what : what + ": " + reason);
}

}  // namespace

std::string FindSoundfont() {
    static const char* const candidates[] = {
        "/usr/share/sounds/sf2/TimGM6mb.sf2",       "/usr/share/soundfonts/TimGM6mb.sf2",
        "/usr/local/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/soundfonts/default.sf2",
    };
    std::error_code ec;
    for (const char* c : candidates)
        if (std::filesystem::is_regular_file(c, ec)) return c;
    return {};
}

std::shared_ptr<const WaveData> DecodeWave(const std::string& path, int rate) {
    SDL_AudioSpec spec;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!SDL_LoadWAV(path.c_str(), &spec, &buf, &len)) return nullptr;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_F32SYS, 2, rate) < 0) {
        SDL_FreeWAV(buf);
        return nullptr;
    }
    std::vector<Uint8> work(size_t(len) * size_t(std::max(cvt.len_mult, 1)));
    std::memcpy(work.data(), buf, len);
    SDL_FreeWAV(buf);
    cvt.buf = work.data();
    cvt.len = int(len);
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return nullptr;
    const size_t bytes = cvt.needed ? size_t(cvt.len_cvt) : size_t(len);
    auto data = std::make_shared<WaveData>();
    data->samples.resize(bytes / sizeof(float) / 2 * 2);
    std::memcpy(data->samples.data(), work.data(), data->samples.size() * sizeof(float));
    return data;
}

AudioRenderer::AudioRenderer(Clock& clock, int sampleRate, const std::string& soundfont)
    : clock_(clock), rate_(sampleRate), clicks_(sampleRate) {
    fluid_set_log_function(FLUID_PANIC, OnFluidError, nullptr);
    fluid_set_log_function(FLUID_ERR, OnFluidError, nullptr);
    fluid_set_log_function(FLUID_WARN, Quiet, nullptr);
    fluid_set_log_function(FLUID_INFO, Quiet, nullptr);
    fluid_set_log_function(FLUID_DBG, Quiet, nullptr);
    if (soundfont.empty()) return;
    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.sample-rate", double(rate_));
    fluid_settings_setnum(settings_, "synth.gain", kSynthGain);
    fluid_settings_setint(settings_, "synth.polyphony", 64);
    fluid_settings_setint(settings_, "synth.chorus.active", 0);
    fluid_settings_setint(settings_, "synth.reverb.active", 1);
    fluid_settings_setint(settings_, "synth.cpu-cores", 1);
    fluid_settings_setint(settings_, "synth.threadsafe-api", 0);  // our mutex guards it
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    fluid_settings_setint(settings_, "player.reset-synth", 1);
    BeginCall();
    synth_ = new_fluid_synth(settings_);
    int loaded = FLUID_FAILED;
    std::string said;
    if (synth_) {
        HeldStderr held;
        loaded = fluid_synth_sfload(synth_, soundfont.c_str(), 1);
        said = held.Release();
    }
    inCall = false;
    if (!synth_) {
        Failed("the MIDI synthesizer cannot start");
    } else if (loaded == FLUID_FAILED) {
        Failed("cannot load the soundfont " + soundfont);
        delete_fluid_synth(synth_);
        synth_ = nullptr;
    } else {
        std::fputs(said.c_str(), stderr);  // loaded: nothing is kept back
    }
}

AudioRenderer::~AudioRenderer() {
    std::lock_guard lock(synthMutex_);
    if (player_) delete_fluid_player(player_);
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

void AudioRenderer::SetOutputLatency(double seconds) {
    std::lock_guard lock(clockMutex_);
    latency_ = seconds;
}

double AudioRenderer::OutputLatency() const {
    std::lock_guard lock(clockMutex_);
    return latency_;
}

void AudioRenderer::SetFile(const std::string& path) {
    // Read the file before taking the lock, so the audio thread never waits for the disk.
    std::string bytes;
    if (!path.empty()) {
        std::ifstream in(path, std::ios::binary);
        if (in) bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    TempoMap map = TempoMap::FromMidi(bytes);
    const double now = clock_.Now();
    std::lock_guard lock(synthMutex_);
    if (!path.empty()) silent_.store(false);
    if (player_) {
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
    }
    tempoMap_ = std::move(map);
    paused_ = playerStopped_ = false;
    startDue_ = tempoDue_ = pauseDue_ = resumeDue_ = seekDue_ = false;
    tickErrorCount_ = 0;
    if (synth_) {
        fluid_synth_all_sounds_off(synth_, -1);
        fluid_synth_system_reset(synth_);
        if (!bytes.empty()) {
            {
                std::lock_guard fluidLock(fluidMutex);
                musicFile = path;
            }
            BeginCall();
            player_ = new_fluid_player(synth_);
            drumVolume_ = 100;  // the synth's reset volume, until the song writes its own
            fluid_player_set_playback_callback(player_, &AudioRenderer::HandEvent, this);
            const bool playing =
                fluid_player_add_mem(player_, bytes.data(), bytes.size()) == FLUID_OK &&
                fluid_player_set_tempo(player_, FLUID_PLAYER_TEMPO_INTERNAL, tempo_) == FLUID_OK;
            // It starts with the next buffer: a seek made before then (a practice pass starting
            // mid-song) is taken by a player that has not started, so no block of the file's
            // start is heard.
            startDue_ = playing;
            inCall = false;
            if (!playing) {
                Failed("cannot play the music " + path);
                delete_fluid_player(player_);
                player_ = nullptr;
            }
        }
    }
    // Under both locks: no buffer of the old file is counted for the new one.
    std::lock_guard clockLock(clockMutex_);
    if (path.empty()) {
        if (playing_) stoppedPos_ = SongAt(HeardAt(now));
        playing_ = false;
    } else {
        playing_ = true;
        framesSinceSet_ = 0;
        anchored_ = false;
        recentNext_ = recentCount_ = 0;
        setAt_ = now;
        // The player starts with the synth's next block.
        segments_.assign(1, Segment{double(LeftInBlock()) / rate_, 0, tempo_});
    }
}

void AudioRenderer::SetVolume(int32_t hundredthsDb) {
    const double db = std::min<double>(hundredthsDb, 0) / 100.0;
    targetGain_.store(float(std::pow(10.0, db / 20.0)));
}

double AudioRenderer::PositionAt(double clockSeconds) const {
    std::lock_guard lock(clockMutex_);
    return playing_ ? SongAt(HeardAt(clockSeconds)) : stoppedPos_;
}

double AudioRenderer::HeardAt(double clockSeconds) const {
    // Before the first buffer of the file has been rendered, the clock alone carries it.
    return anchored_ ? clockSeconds - offset_ : clockSeconds - setAt_ - latency_;
}

double AudioRenderer::SongAt(double heard) const {
    const Segment* s = &segments_.front();
    for (const Segment& seg : segments_)
        if (seg.heard <= heard) s = &seg;
    // Before a segment is heard its start holds: the file's start, or where a seek went.
    return s->song + s->rate * std::max(0.0, heard - s->heard);
}

void AudioRenderer::StartSegment(Segment s) {
    // What the new segment follows from its start on is no longer to come.
    while (segments_.size() > 1 && segments_.back().heard >= s.heard) segments_.pop_back();
    if (segments_.size() == 1 && segments_.back().heard >= s.heard) segments_.clear();
    constexpr size_t kKept = 8;  // a stamp taken just before a change still finds its position
    if (segments_.size() >= kKept) segments_.erase(segments_.begin());
    segments_.push_back(s);
}

int64_t AudioRenderer::LeftInBlock() const {
    return synth_ ? (kBlock - synthFrames_ % kBlock) % kBlock : 0;
}

void AudioRenderer::QueueSeek(double songSeconds) {
    seekDue_ = true;
    seekSong_ = std::max(0.0, songSeconds);
    if (!tempoMap_.Valid()) return;
    seekTick_ = tempoMap_.TickAt(seekSong_);
    // The player takes a seek only within the file; past its end the music is silent and the
    // position runs on from where it was asked to go.
    if (seekTick_ < tempoMap_.EndTick()) seekSong_ = tempoMap_.Seconds(seekTick_);
    seekTick_ = std::min(seekTick_, tempoMap_.EndTick());
}

void AudioRenderer::Pause() {
    const double now = clock_.Now();
    std::lock_guard lock(synthMutex_);
    std::lock_guard clockLock(clockMutex_);
    if (!playing_ || paused_) return;
    paused_ = true;
    pauseDue_ = true;
    resumeDue_ = false;
    const double heard = HeardAt(now);
    StartSegment({heard, SongAt(heard), 0});
}

void AudioRenderer::Resume() {
    const double now = clock_.Now();
    std::lock_guard lock(synthMutex_);
    std::lock_guard clockLock(clockMutex_);
    if (!playing_ || !paused_) return;
    paused_ = false;
    pauseDue_ = false;
    resumeDue_ = true;
    // The player plays on from exactly where the position stopped, not from where the buffers
    // already rendered had taken it; the position holds until that is heard.
    QueueSeek(SongAt(HeardAt(now)));
}

void AudioRenderer::Seek(double songSeconds) {
    const double now = clock_.Now();
    std::lock_guard lock(synthMutex_);
    std::lock_guard clockLock(clockMutex_);
    if (!playing_) return;
    QueueSeek(songSeconds);
    StartSegment({HeardAt(now), seekSong_, 0});
}

void AudioRenderer::SetTempo(double rate) {
    std::lock_guard lock(synthMutex_);
    tempo_ = rate;
    tempoDue_ = true;
}

void AudioRenderer::ApplyTransport() {
    const bool moved = tempoDue_ || pauseDue_ || resumeDue_ || seekDue_;
    if (!moved && !startDue_) return;
    if (player_) {
        if (tempoDue_) fluid_player_set_tempo(player_, FLUID_PLAYER_TEMPO_INTERNAL, tempo_);
        if (pauseDue_ && !playerStopped_) {
            if (!startDue_) fluid_player_stop(player_);
            fluid_synth_all_notes_off(synth_, -1);  // what sounds ends as a released note
            playerStopped_ = true;
        }
        // A player that has not read its file yet takes no seek: it is asked again next time.
        if (seekDue_ && fluid_player_seek(player_, int(seekTick_)) != FLUID_OK) return;
        // The file's start, a resume, or a seek back into a file that had ended.
        if (!paused_ && (startDue_ || fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING)) {
            fluid_player_play(player_);
            playerStopped_ = false;
        }
    }
    startDue_ = false;
    if (!moved) return;
    std::lock_guard clockLock(clockMutex_);
    if (playing_) {
        const double heard = double(framesSinceSet_ + LeftInBlock()) / rate_;
        StartSegment({heard, seekDue_ ? seekSong_ : SongAt(heard), paused_ ? 0 : tempo_});
    }
    tempoDue_ = pauseDue_ = resumeDue_ = seekDue_ = false;
    tickErrorCount_ = 0;
}

void AudioRenderer::FollowTick(int64_t synthBefore) {
    if (!player_ || playerStopped_ || !tempoMap_.Valid() ||
        fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING)
        return;
    // The player ran last at the start of the synth's latest block, and its tick says where the
    // song stood there. The tick is whole and the player's clock whole milliseconds, so single
    // readings scatter by a millisecond; their mean over a while is what is followed.
    const int64_t lastBlock = (synthFrames_ + kBlock - 1) / kBlock * kBlock - kBlock;
    const double tickSong = tempoMap_.Seconds(fluid_player_get_current_tick(player_));
    std::lock_guard clockLock(clockMutex_);
    // framesSinceSet_ already counts this buffer.
    const double heard =
        double(framesSinceSet_ - (synthFrames_ - synthBefore) + (lastBlock - synthBefore)) / rate_;
    Segment& seg = segments_.back();
    if (heard < seg.heard) return;
    const double error = tickSong - SongAt(heard);
    if (std::abs(error) > kSnapSeconds) {
        seg.song += error;
        tickErrorCount_ = 0;
        return;
    }
    tickErrors_[tickErrorCount_++] = error;
    if (tickErrorCount_ < tickErrors_.size()) return;
    double mean = 0;
    for (double e : tickErrors_) mean += e / double(tickErrors_.size());
    if (std::abs(mean) > kTickTolerance) seg.song += mean;
    tickErrorCount_ = 0;
}

std::shared_ptr<const WaveData> AudioRenderer::Wave(const std::string& path) {
    auto it = waves_.find(path);
    if (it != waves_.end()) return it->second;
    auto data = DecodeWave(path, rate_);
    if (data) waves_.emplace(path, data);  // a missing file is tried again next time
    return data;
}

bool AudioRenderer::LoadWave(const std::string& path) {
    return Wave(path) != nullptr;
}

void AudioRenderer::PlayWave(const std::string& path) {
    const std::shared_ptr<const WaveData> data = Wave(path);
    if (!data || data->Frames() == 0) return;
    std::lock_guard lock(synthMutex_);
    if (voice_.data) {
        fading_ = voice_;
        fading_.fadeLeft = kCutFadeFrames;
    }
    voice_ = Voice{data, 0, -1};
    silent_.store(false);  // under the lock, so a render cannot call it silent again unheard
}

void AudioRenderer::SetDrumPart(DrumPart part) {
    std::lock_guard lock(synthMutex_);
    drums_ = part;
    // Drums sounding stop at once; a volume takes effect at the drums' next note.
    if (synth_ && part == DrumPart::Off) fluid_synth_all_notes_off(synth_, kDrumChannel);
}

void AudioRenderer::SetClicks(std::vector<ClickBeat> beats) {
    std::lock_guard lock(synthMutex_);
    clicks_.SetBeats(std::move(beats));
}

void AudioRenderer::TapSynth(std::function<void(const SynthEvent&)> tap) {
    std::lock_guard lock(synthMutex_);
    tap_ = std::move(tap);
}

void AudioRenderer::Hand(const SynthEvent& e) {
    if (tap_) tap_(e);
}

int AudioRenderer::HandEvent(void* self, fluid_midi_event_t* event) {
    auto* me = static_cast<AudioRenderer*>(self);  // on the audio thread, under synthMutex_
    SynthEvent e{fluid_midi_event_get_type(event), fluid_midi_event_get_channel(event), 0, 0};
    if (e.type == kNoteOn) {
        e.number = fluid_midi_event_get_key(event);
        e.value = fluid_midi_event_get_velocity(event);
    } else if (e.type == kControlChange) {
        e.number = fluid_midi_event_get_control(event);
        e.value = fluid_midi_event_get_value(event);
        if (e.channel == kDrumChannel && e.number == kVolumeControl) me->drumVolume_ = e.value;
    }
    if (!PassToSynth(me->drums_, e)) return FLUID_OK;
    if (e.type == kNoteOn && e.channel == kDrumChannel) {
        // The drums' volume as chosen before each of their notes: a reset of the synth (a new
        // file, a seek) or a change of choice may have put it back.
        const int volume = DrumVolume(me->drums_, me->drumVolume_);
        int now = -1;
        fluid_synth_get_cc(me->synth_, kDrumChannel, kVolumeControl, &now);
        if (now != volume) {
            fluid_synth_cc(me->synth_, kDrumChannel, kVolumeControl, volume);
            me->Hand({kControlChange, kDrumChannel, kVolumeControl, volume});
        }
    }
    if (e.type == kControlChange) fluid_midi_event_set_value(event, e.value);
    me->Hand(e);
    return fluid_synth_handle_midi_event(me->synth_, event);
}

void AudioRenderer::MixClicks(float* out, int frames) {
    {
        std::lock_guard clockLock(clockMutex_);
        if (!playing_) {
            clicks_.Lose();
            return;
        }
        if (frameSongs_.size() < size_t(frames)) frameSongs_.resize(size_t(frames));
        for (int i = 0; i < frames; ++i)
            frameSongs_[size_t(i)] = SongAt(double(framesSinceSet_ + i) / rate_);
    }
    clicks_.Mix(out, frames, frameSongs_.data());
}

void AudioRenderer::MixVoice(Voice& v, float* out, int frames) {
    if (!v.data) return;
    const float* src = v.data->samples.data();
    const size_t total = v.data->Frames();
    int n = int(std::min<size_t>(size_t(frames), total - v.pos));
    if (v.fadeLeft >= 0) n = std::min(n, v.fadeLeft);
    for (int i = 0; i < n; ++i) {
        const float g = v.fadeLeft >= 0 ? float(v.fadeLeft - i) / float(kCutFadeFrames) : 1.0f;
        out[2 * i] += src[2 * (v.pos + size_t(i))] * g;
        out[2 * i + 1] += src[2 * (v.pos + size_t(i)) + 1] * g;
    }
    v.pos += size_t(n);
    if (v.fadeLeft >= 0) v.fadeLeft -= n;
    if (v.pos >= total || v.fadeLeft == 0) v = Voice{};
}

void AudioRenderer::AdvanceClock(int frames, double callbackTime) {
    std::lock_guard lock(clockMutex_);
    if (!playing_) return;
    framesSinceSet_ += frames;
    // Each callback says where the file stands on the clock's timeline. A late callback makes
    // it look later, a burst of callbacks makes the earlier ones of the burst look later, so
    // the earliest of the recent ones is the truest; the position glides towards it.
    const double endPos = double(framesSinceSet_) / rate_ - latency_;
    recent_[recentNext_] = callbackTime - endPos;
    recentNext_ = (recentNext_ + 1) % recent_.size();
    recentCount_ = std::min(recentCount_ + 1, recent_.size());
    const double target = *std::min_element(recent_.begin(), recent_.begin() + recentCount_);
    if (!anchored_ || std::abs(target - offset_) > kSnapSeconds)
        offset_ = target;
    else
        offset_ += (target - offset_) * kFollow;
    anchored_ = true;
}

void AudioRenderer::Render(float* out, int frames) {
    if (frames <= 0) return;
    const double now = clock_.Now();
    std::lock_guard lock(synthMutex_);
    ApplyTransport();
    const int64_t synthBefore = synthFrames_;
    // With no music playing and every voice gone, the synth only renders its reverb's last echo:
    // after two seconds of that it is skipped, so that a screen without music costs nothing.
    const bool still = synth_ &&
                       (!player_ || fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) &&
                       fluid_synth_get_active_voice_count(synth_) == 0;
    stillFrames_ = still ? stillFrames_ + frames : 0;
    if (synth_ && stillFrames_ <= 2 * rate_) {
        fluid_synth_write_float(synth_, frames, out, 0, 2, out, 1, 2);
        synthFrames_ += frames;
        // A volume change glides over a few milliseconds instead of clicking.
        const float to = targetGain_.load();
        if (to != rampTarget_) {
            rampTarget_ = to;
            rampStep_ = (to - gain_) / float(kGainRampFrames);
        }
        for (int i = 0; i < frames; ++i) {
            if (gain_ != to)
                gain_ = std::abs(to - gain_) <= std::abs(rampStep_) ? to : gain_ + rampStep_;
            out[2 * i] *= gain_;
            out[2 * i + 1] *= gain_;
        }
    } else {
        std::fill(out, out + 2 * frames, 0.0f);
    }
    MixVoice(fading_, out, frames);
    if (voice_.data && voice_.pos == 0) hitRenderedAt_.store(now);
    MixVoice(voice_, out, frames);
    if (clicks_.On()) MixClicks(out, frames);
    for (int i = 0; i < 2 * frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    const auto done = [](const Voice& v) {
        return !v.data || v.pos >= v.data->Frames() || v.fadeLeft == 0;  // played, or cut off
    };
    silent_.store((!synth_ || stillFrames_ > 2 * rate_) && done(voice_) && done(fading_));
    AdvanceClock(frames, now);
    if (synthFrames_ != synthBefore) FollowTick(synthBefore);
}

}  // namespace zb::audio
