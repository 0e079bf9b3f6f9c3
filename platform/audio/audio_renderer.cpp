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
#include <utility>

#include "platform/held_stderr.hpp"
#include "platform/stderr_line.hpp"

namespace zb::audio {

namespace {

// The audio clock follows the callbacks smoothly; a jump larger than this (an underrun, a device
// that stalled) is taken at once.
constexpr double kSnapSeconds = 0.030;
constexpr double kFollow = 0.05;
constexpr int kGainRampFrames = 256;
// The synth's own level; the music files are written to peak below full scale at this gain.
constexpr double kSynthGain = 0.6;

void Quiet(int, const char*, void*) {}

// FluidSynth's errors. During one of our calls they are kept and written with the call's file
// if the call fails (see Failed); any other is written at once.
std::mutex fluidMutex;
std::string fluidError;
thread_local bool inCall = false;

void OnFluidError(int, const char* message, void*) {
    if (!inCall) {
        SayOnStderr(std::string("the MIDI synthesizer: ") + (message ? message : ""));
        return;
    }
    std::lock_guard lock(fluidMutex);
    if (fluidError.empty()) fluidError = message ? message : "";  // the first says most
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
    : clock_(clock), rate_(sampleRate), clicks_(sampleRate), frameSongs_(8192) {
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
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

// --- the game thread ---

void AudioRenderer::Send(const Request& request) {
    for (const Song* s = nullptr; done_.Pop(s);)
        std::erase_if(songs_, [s](const auto& own) { return own.get() == s; });
    for (std::vector<ClickBeat>* b = nullptr; doneBeats_.Pop(b);)
        std::erase_if(beatLists_, [b](const auto& own) { return own.get() == b; });
    const uint64_t taken = takenNumber_.load(std::memory_order_acquire);
    while (!asked_.empty() && asked_.front().number <= taken) asked_.pop_front();
    Request r = request;
    r.number = ++sent_;
    if (r.kind != Request::Kind::Hit) asked_.push_back(r);
    while (!unsent_.empty() && requests_.Push(unsent_.front())) unsent_.pop_front();
    // A full queue means the device has stopped asking for buffers: what changes the music
    // waits for it, a hit sound is dropped.
    if (unsent_.empty() && requests_.Push(r)) return;
    if (r.kind != Request::Kind::Hit) unsent_.push_back(r);
}

SongClock AudioRenderer::View() const {
    SongClock c = published_.Read();
    for (const Request& r : asked_)
        if (r.number > c.taken) Apply(c, r, 0);
    return c;
}

void AudioRenderer::Apply(SongClock& c, const Request& r, double firstHeard) {
    using K = Request::Kind;
    switch (r.kind) {
        case K::File:
            c.playing = true;
            c.paused = false;
            c.framesSinceSet = 0;
            c.anchored = false;
            c.setAt = r.at;
            c.segments[0] = {firstHeard, 0, c.tempo};
            c.count = 1;
            break;
        case K::Stop:
            if (c.playing) c.stoppedPos = r.song;
            c.playing = c.paused = false;
            break;
        case K::Pause:
            c.paused = true;
            c.StartSegment({r.heard, r.song, 0});
            break;
        case K::Resume:
            c.paused = false;
            break;
        case K::Seek:
            c.StartSegment({r.heard, r.song, 0});
            break;
        case K::Tempo:
            c.tempo = r.value;
            break;
        case K::Latency:
            c.latency = r.value;
            break;
        case K::Hit:
        case K::Drums:
        case K::Clicks:
            break;
    }
    c.taken = r.number;
}

void AudioRenderer::SetOutputLatency(double seconds) {
    Request r{.kind = Request::Kind::Latency};
    r.value = seconds;
    Send(r);
}

double AudioRenderer::OutputLatency() const {
    return View().latency;
}

void AudioRenderer::SetFile(const std::string& path) {
    const double now = clock_.Now();
    if (path.empty()) {
        const SongClock v = View();
        Request r{.kind = Request::Kind::Stop};
        r.song = v.playing ? v.SongAt(v.HeardAt(now)) : v.stoppedPos;
        Send(r);
        return;
    }
    // Read and parsed here, so the audio thread never waits for the disk or the file.
    auto song = std::make_unique<Song>();
    song->path = path;
    std::string bytes;
    if (std::ifstream in(path, std::ios::binary); in)
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    song->music = MusicSequence::FromMidi(bytes);
    if (!bytes.empty() && !song->music.tempoMap.Valid())
        SayOnStderr("cannot play the music " + path + ": not a MIDI file");
    Request r{.kind = Request::Kind::File};
    r.at = now;
    r.file = song.get();
    songs_.push_back(std::move(song));
    Send(r);
}

void AudioRenderer::SetVolume(int32_t hundredthsDb) {
    const double db = std::min<double>(hundredthsDb, 0) / 100.0;
    targetGain_.store(float(std::pow(10.0, db / 20.0)));
}

double AudioRenderer::PositionAt(double clockSeconds) const {
    return View().PositionAt(clockSeconds);
}

void AudioRenderer::Pause() {
    const double now = clock_.Now();
    const SongClock v = View();
    if (!v.playing || v.paused) return;
    Request r{.kind = Request::Kind::Pause};
    r.heard = v.HeardAt(now);
    r.song = v.SongAt(r.heard);
    Send(r);
}

void AudioRenderer::Resume() {
    const double now = clock_.Now();
    const SongClock v = View();
    if (!v.playing || !v.paused) return;
    // The player plays on from exactly where the position stopped, not from where the buffers
    // already rendered had taken it; the position holds until that is heard.
    Request r{.kind = Request::Kind::Resume};
    r.song = std::max(0.0, v.SongAt(v.HeardAt(now)));
    Send(r);
}

bool AudioRenderer::Paused() const {
    return View().paused;
}

void AudioRenderer::Seek(double songSeconds) {
    const double now = clock_.Now();
    const SongClock v = View();
    if (!v.playing) return;
    Request r{.kind = Request::Kind::Seek};
    // Past the file's end the music is silent and the position runs on from where it went.
    r.song = std::max(0.0, songSeconds);
    r.heard = v.HeardAt(now);
    Send(r);
}

void AudioRenderer::SetTempo(double rate) {
    Request r{.kind = Request::Kind::Tempo};
    r.value = rate;
    Send(r);
}

double AudioRenderer::Tempo() const {
    return View().tempo;
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

void AudioRenderer::PlayHitSound(const std::string& path, double stamp, int voice) {
    const std::shared_ptr<const WaveData> data = Wave(path);
    if (!data || data->Frames() == 0) return;
    Request r{.kind = Request::Kind::Hit};
    r.at = stamp;
    r.wave = data.get();  // kept in waves_ for the renderer's life
    r.voice = voice;
    Send(r);
}

void AudioRenderer::SetDrumPart(DrumPart part) {
    Request r{.kind = Request::Kind::Drums};
    r.value = double(int(part));
    Send(r);
}

void AudioRenderer::SetClicks(std::vector<ClickBeat> beats) {
    beatLists_.push_back(std::make_unique<std::vector<ClickBeat>>(std::move(beats)));
    Request r{.kind = Request::Kind::Clicks};
    r.beats = beatLists_.back().get();
    Send(r);
}

bool AudioRenderer::Silent() const {
    // Judged by the audio thread after it took every request sent.
    const uint64_t through = silentThrough_.load();
    return through != 0 && through - 1 >= sent_;
}

// --- the audio thread ---

int64_t AudioRenderer::LeftInBlock() const {
    return synth_ ? (kBlock - synthFrames_ % kBlock) % kBlock : 0;
}

void AudioRenderer::Take(const Request& r) {
    using K = Request::Kind;
    double firstHeard = 0;
    switch (r.kind) {
        case K::File:
        case K::Stop:
            if (song_) done_.Push(song_);
            song_ = r.file;
            next_ = 0;
            musicStopped_ = false;
            tempoDue_ = pauseDue_ = resumeDue_ = seekDue_ = false;
            if (synth_) {
                fluid_synth_all_sounds_off(synth_, -1);
                fluid_synth_system_reset(synth_);
                drumVolume_ = 100;  // the reset volume, until the song writes its own
            }
            recentNext_ = recentCount_ = 0;
            // The music starts with the synth's next block.
            firstHeard = double(LeftInBlock()) / rate_;
            break;
        case K::Pause:
            pauseDue_ = true;
            resumeDue_ = false;
            break;
        case K::Resume:
            pauseDue_ = false;
            resumeDue_ = seekDue_ = true;
            seekSong_ = r.song;
            break;
        case K::Seek:
            seekDue_ = true;
            seekSong_ = r.song;
            break;
        case K::Tempo:
            tempoDue_ = true;
            break;
        case K::Latency:
            break;
        case K::Hit:
            mixer_.Start(r.wave, PlaceHit(r.at), r.voice);
            break;
        case K::Drums:
            drums_ = DrumPart(int(r.value));
            // Drums sounding stop at once; a volume takes effect at the drums' next note.
            if (synth_ && drums_ == DrumPart::Off) fluid_synth_all_notes_off(synth_, kDrumChannel);
            break;
        case K::Clicks:
            clicks_.SetBeats(*r.beats);
            if (!doneBeats_.Push(r.beats)) r.beats->clear();  // kept by the game thread anyway
            break;
    }
    Apply(truth_, r, firstHeard);
}

int64_t AudioRenderer::PlaceHit(double stamp) const {
    return std::llround((stamp - outOffset_) * rate_) + hitDelay_.load();
}

void AudioRenderer::ApplyTransport() {
    if (!tempoDue_ && !pauseDue_ && !resumeDue_ && !seekDue_) return;
    if (pauseDue_ && !musicStopped_) {
        if (synth_) fluid_synth_all_notes_off(synth_, -1);  // what sounds ends as a released note
        musicStopped_ = true;
    }
    if (seekDue_) SeekMusic(seekSong_);
    if (!truth_.paused) musicStopped_ = false;
    if (truth_.playing) {
        const double heard = double(truth_.framesSinceSet + LeftInBlock()) / rate_;
        truth_.StartSegment(
            {heard, seekDue_ ? seekSong_ : truth_.SongAt(heard), truth_.paused ? 0 : truth_.tempo});
    }
    tempoDue_ = pauseDue_ = resumeDue_ = seekDue_ = false;
}

void AudioRenderer::SeekMusic(double song) {
    if (!song_) return;
    if (synth_) fluid_synth_all_sounds_off(synth_, -1);
    const std::vector<MusicEvent>& events = song_->music.events;
    const size_t to = song_->music.FirstFrom(song);
    if (to < next_) next_ = 0;
    for (; next_ < to; ++next_)
        if (!MusicSequence::IsNote(events[next_])) PlayEvent(events[next_]);
}

bool AudioRenderer::MusicRunning() const {
    return song_ && truth_.playing && !musicStopped_ && next_ < song_->music.events.size();
}

void AudioRenderer::RenderSynth(float* out, int frames) {
    for (int done = 0; done < frames;) {
        int64_t left = LeftInBlock();
        if (left == 0) {
            // A block starts: the events due where the position stands at its first frame.
            if (MusicRunning()) {
                const double song = truth_.SongAt(double(truth_.framesSinceSet + done) / rate_);
                const std::vector<MusicEvent>& events = song_->music.events;
                while (next_ < events.size() && events[next_].song <= song)
                    PlayEvent(events[next_++]);
            }
            left = kBlock;
        }
        const int n = int(std::min<int64_t>(left, frames - done));
        float* o = out + 2 * done;
        fluid_synth_write_float(synth_, n, o, 0, 2, o, 1, 2);
        synthFrames_ += n;
        done += n;
    }
}

// Each callback says where a frame stands on the clock's timeline. A late callback makes it look
// later, a burst of callbacks makes the earlier ones of the burst look later, so the earliest of
// the recent ones is the truest; the offset glides towards it.
template <size_t N>
static void Follow(std::array<double, N>& recent, size_t& next, size_t& count, double measured,
                   bool anchored, double& offset) {
    recent[next] = measured;
    next = (next + 1) % N;
    count = std::min(count + 1, N);
    const double target = *std::min_element(recent.begin(), recent.begin() + long(count));
    if (!anchored || std::abs(target - offset) > kSnapSeconds)
        offset = target;
    else
        offset += (target - offset) * kFollow;
}

void AudioRenderer::AdvanceClock(int frames, double due) {
    if (!truth_.playing) return;
    truth_.framesSinceSet += frames;
    const double endPos = double(truth_.framesSinceSet) / rate_ - truth_.latency;
    Follow(recent_, recentNext_, recentCount_, due - endPos, truth_.anchored, truth_.offset);
    truth_.anchored = true;
}

void AudioRenderer::CountUnderrun(int frames, double due) {
    // A buffer a whole buffer later than the frames before it say: the device played silence
    // meanwhile, an underrun if something sounded (a device that rested played nothing). Either
    // way the frames' timing starts afresh from this buffer.
    const double expected = outOffset_ + double(outFrames_) / rate_;
    if (outCount_ > 0 && due - expected > double(frames) / rate_) {
        if (sounding_ && !deviceCountsGaps_) underruns_.fetch_add(1);
        outNext_ = outCount_ = 0;
    }
}

void AudioRenderer::Hand(const SynthEvent& e) {
    if (tap_) tap_(e);
}

void AudioRenderer::PlayEvent(const MusicEvent& m) {
    SynthEvent e{m.status & 0xF0, m.status & 0x0F, m.data1, m.data2};
    if (m.status == 0xF0) {
        e = {0xF0, 0, 0, 0};
        Hand(e);
        fluid_synth_sysex(synth_, song_->music.sysex.data() + m.sysex, int(m.sysexLength), nullptr,
                          nullptr, nullptr, 0);
        return;
    }
    if (e.type == kControlChange && e.channel == kDrumChannel && e.number == kVolumeControl)
        drumVolume_ = e.value;
    if (!PassToSynth(drums_, e)) return;
    if (e.type == kNoteOn && e.channel == kDrumChannel) {
        // The drums' volume as chosen before each of their notes: a reset of the synth (a new
        // file, a seek) or a change of choice may have put it back.
        const int volume = DrumVolume(drums_, drumVolume_);
        int now = -1;
        fluid_synth_get_cc(synth_, kDrumChannel, kVolumeControl, &now);
        if (now != volume) {
            fluid_synth_cc(synth_, kDrumChannel, kVolumeControl, volume);
            Hand({kControlChange, kDrumChannel, kVolumeControl, volume});
        }
    }
    Hand(e);
    switch (e.type) {
        case 0x80:
            fluid_synth_noteoff(synth_, e.channel, e.number);
            break;
        case kNoteOn:
            fluid_synth_noteon(synth_, e.channel, e.number, e.value);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth_, e.channel, e.number, e.value);
            break;
        case kControlChange:
            fluid_synth_cc(synth_, e.channel, e.number, e.value);
            break;
        case 0xC0:
            fluid_synth_program_change(synth_, e.channel, e.number);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth_, e.channel, e.number);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth_, e.channel, e.number | (e.value << 7));
            break;
        default:
            break;
    }
}

void AudioRenderer::MixClicks(float* out, int frames) {
    if (!truth_.playing) {
        clicks_.Lose();
        return;
    }
    if (frameSongs_.size() < size_t(frames)) frameSongs_.resize(size_t(frames));  // > 8192
    for (int i = 0; i < frames; ++i)
        frameSongs_[size_t(i)] = truth_.SongAt(double(truth_.framesSinceSet + i) / rate_);
    clicks_.Mix(out, frames, frameSongs_.data());
}

void AudioRenderer::Render(float* out, int frames, double due) {
    if (frames <= 0) return;
    const double began = clock_.Now();
    CountUnderrun(frames, due);
    Follow(outRecent_, outNext_, outCount_, due - double(outFrames_) / rate_, outCount_ > 0,
           outOffset_);
    for (Request r; requests_.Pop(r);) Take(r);
    takenNumber_.store(truth_.taken, std::memory_order_release);
    ApplyTransport();
    // With no music playing and every voice gone, the synth only renders its reverb's last echo:
    // after two seconds of that it is skipped, so that a screen without music costs nothing.
    const bool still = synth_ && !MusicRunning() && fluid_synth_get_active_voice_count(synth_) == 0;
    stillFrames_ = still ? stillFrames_ + frames : 0;
    if (synth_ && stillFrames_ <= 2 * rate_) {
        RenderSynth(out, frames);
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
    const bool hitsBefore = !mixer_.Idle();
    if (const int started = mixer_.Mix(out, frames, outFrames_); started >= 0)
        hitRenderedAt_.store(due + double(started) / rate_);
    if (clicks_.On()) MixClicks(out, frames);
    for (int i = 0; i < 2 * frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    outFrames_ += frames;
    const bool silent = (!synth_ || stillFrames_ > 2 * rate_) && mixer_.Idle();
    silentThrough_.store(silent ? truth_.taken + 1 : 0);
    AdvanceClock(frames, due);
    published_.Write(truth_);
    const bool sounded = hitsBefore || !silent || (synth_ && stillFrames_ < frames);
    // Longer to render than the buffer lasts: the device had nothing to play for a while.
    if (sounded && clock_.Now() - began > double(frames) / rate_) underruns_.fetch_add(1);
    sounding_ = sounded;
}

}  // namespace zb::audio
