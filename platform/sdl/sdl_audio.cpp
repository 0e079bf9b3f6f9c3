#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/held_stderr.hpp"
#include "platform/stderr_line.hpp"

namespace zb::sdl {

namespace {
constexpr int kWantedRate = 48000;
// The automatic period: short enough for a drummer, long enough for most desktops' servers.
constexpr int kAutoFrames = 128;

int PeriodAsked(int frames) {
    return frames > 0 ? std::clamp(frames, 32, 4096) : kAutoFrames;
}

// A Windows-style separator in a file name means a folder; a name relative to the current
// folder (the story music's) is also looked for beside the program.
uint32_t OpenDevice(SDL_AudioCallback callback, void* owner, int rate, int frames,
                    int allowedChanges, SDL_AudioSpec& have) {
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = uint16_t(frames);
    want.callback = callback;
    want.userdata = owner;
    return SDL_OpenAudioDevice(nullptr, 0, &want, &have, allowedChanges);
}

std::string ResolvePath(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    std::error_code ec;
    if (p.empty() || p[0] == '/' || std::filesystem::exists(p, ec)) return p;
    const std::string beside = DataDir(ProgramDir()) + p;
    return std::filesystem::exists(beside, ec) ? beside : p;
}
}  // namespace

SdlAudio::SdlAudio(Clock& clock, std::string soundfont, int period)
    : clock_(clock), fallback_(clock), wantedFrames_(PeriodAsked(period)) {
    soundfontMissing_ = soundfont.empty();
    if (const char* frames = std::getenv("ZUBAKKO_AUDIO_FRAMES"); frames && std::atoi(frames) > 0) {
        wantedFrames_ = PeriodAsked(std::atoi(frames));
        periodFixed_ = true;
    }
    const char* asked = std::getenv("ZUBAKKO_AUDIO");
    const std::string mode = asked && *asked ? asked : "auto";
    if (mode != "sdl" && mode != "jack" && mode != "auto")
        SayOnStderr("ZUBAKKO_AUDIO=" + mode + " is none of jack, sdl and auto: auto it is");
    if (mode != "sdl" && JoinJack(soundfont, mode == "jack")) return;
    {
        HeldStderr held;
        initialized_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (initialized_) Open(SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
        const std::string said = held.Release();
        if (device_ == 0) {
            // What the sound libraries said while they looked is dropped: one line says it all.
            SayOnStderr(std::string("no audio device (") + SDL_GetError() +
                        "); the game runs without sound");
            return;
        }
        std::fputs(said.c_str(), stderr);  // a device was found: nothing is kept back
    }
    renderer_ = std::make_unique<audio::AudioRenderer>(clock_, rate_, soundfont);
    if (!renderer_->HasSynth()) soundfontMissing_ = true;
    // The buffer being rendered plays after the one the device holds.
    renderer_->SetOutputLatency(2.0 * bufferFrames_ / rate_);
    SDL_PauseAudioDevice(device_, 0);
}

bool SdlAudio::JoinJack(const std::string& soundfont, bool asked) {
    std::string why;
    jack_ = jack::JackOutput::Join(clock_, "zubakko", why);
    if (jack_) {
        rate_ = jack_->Rate();
        bufferFrames_ = jack_->Period();
        renderer_ = std::make_unique<audio::AudioRenderer>(clock_, rate_, soundfont);
        renderer_->SetDeviceCountsGaps(true);  // JACK's xruns
        if (jack_->Start(*renderer_)) {
            if (!renderer_->HasSynth()) soundfontMissing_ = true;
            renderer_->SetOutputLatency(jack_->OutputLatency());
            // A strike's sound is placed a period and 0.9 ms after its stamp: the request
            // reaches the cycle after the one under way, with time to spare.
            renderer_->SetHitDelay(bufferFrames_ + rate_ * 9 / 10000);
            return true;
        }
        jack_.reset();
        renderer_.reset();
        why = "the JACK server would not run the game's client";
    }
    if (asked) SayOnStderr("ZUBAKKO_AUDIO=jack: " + why + "; the sound goes through SDL");
    return false;
}

std::string SdlAudio::Describe() const {
    if (!HasDevice()) return "sound: none";
    const std::string via = jack_ ? "JACK (server " + jack_->Server() + ")"
                                  : std::string("SDL (") + SDL_GetCurrentAudioDriver() + ")";
    const int frames = jack_ ? jack_->Period() : bufferFrames_;
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.2f", 1000.0 * frames / rate_);
    return "sound: " + via + ", " + std::to_string(frames) + " frames at " + std::to_string(rate_) +
           " Hz (" + ms + " ms), output latency " +
           std::to_string(int(std::lround(OutputLatency() * 1000))) + " ms";
}

SdlAudio::~SdlAudio() {
    jack_.reset();  // its last cycle has ended when it returns
    if (device_ && !resting_) SDL_CloseAudioDevice(device_);  // waits for a running callback
    renderer_.reset();
    if (initialized_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudio::Open(int allowedChanges) {
    SDL_AudioSpec have{};
    device_ = OpenDevice(&SdlAudio::Callback, this, rate_, wantedFrames_, allowedChanges, have);
    if (device_ == 0) return false;
    if (allowedChanges) {
        rate_ = have.freq;
        bufferFrames_ = have.samples;
    } else {
        bufferFrames_ = wantedFrames_;  // SDL converts if the device now wants others
    }
    return true;
}

void SdlAudio::RestIfSilent() {
    if (!device_ || resting_ || !file_.empty() || !renderer_->Silent()) return;
    SDL_CloseAudioDevice(device_);  // waits for a running callback
    resting_ = true;
}

void SdlAudio::Wake() {
    if (!resting_) return;
    resting_ = false;
    // The renderer keeps its rate: SDL converts if the device now wants another.
    if (!Open(0)) {
        SayOnStderr(std::string("the audio device could not be opened again (") + SDL_GetError() +
                    "); the game goes on without sound");
        return;
    }
    renderer_->SetOutputLatency(2.0 * bufferFrames_ / rate_);
    SDL_PauseAudioDevice(device_, 0);
}

void SdlAudio::SetWantedPeriod(int frames) {
    // Under JACK the server's period rules.
    if (periodFixed_ || jack_) return;
    const int wanted = PeriodAsked(frames);
    if (wanted == wantedFrames_) return;
    wantedFrames_ = wanted;
    // Open: closed and opened again now (a moment's gap, between songs or on the settings
    // screen); resting: at the next wake.
    if (!device_ || resting_) return;
    SDL_CloseAudioDevice(device_);  // waits for a running callback
    resting_ = true;
    Wake();
}

uint64_t SdlAudio::Underruns() const {
    return renderer_ ? renderer_->Underruns() : 0;
}

void SdlAudio::Callback(void* self, uint8_t* stream, int len) {
    auto* me = static_cast<SdlAudio*>(self);
    me->renderer_->Render(reinterpret_cast<float*>(stream), len / int(2 * sizeof(float)));
}

double SdlAudio::OutputLatency() const {
    return renderer_ ? renderer_->OutputLatency() : 0.0;
}

void SdlAudio::SetFileName(const std::string& path) {
    file_ = path;
    if (!path.empty()) Wake();
    // The server settles its ports' latency once they are connected: taken again at each song.
    if (jack_) renderer_->SetOutputLatency(jack_->OutputLatency());
    if (MusicRendered())
        renderer_->SetFile(ResolvePath(path));
    else
        fallback_.SetFileName(path);
}

void SdlAudio::SetVolume(int32_t hundredthsDb) {
    volume_ = hundredthsDb;
    if (renderer_) renderer_->SetVolume(hundredthsDb);
}

double SdlAudio::CurrentPosition() {
    return PositionAt(clock_.Now());
}

double SdlAudio::PositionAt(double clockSeconds) {
    return MusicRendered() ? renderer_->PositionAt(clockSeconds)
                           : fallback_.PositionAt(clockSeconds);
}

// The transport: the rendered music's player, or the clock's player when nothing renders it. The
// clock's player keeps the tempo in both cases, so that it holds when a device goes.
void SdlAudio::Pause() {
    if (MusicRendered()) renderer_->Pause();
    fallback_.Pause();
}
void SdlAudio::Resume() {
    if (MusicRendered()) renderer_->Resume();
    fallback_.Resume();
}
bool SdlAudio::Paused() const {
    return MusicRendered() ? renderer_->Paused() : fallback_.Paused();
}
void SdlAudio::Seek(double songSeconds) {
    if (MusicRendered()) renderer_->Seek(songSeconds);
    fallback_.Seek(songSeconds);
}
void SdlAudio::SetTempo(double rate) {
    if (renderer_) renderer_->SetTempo(rate);
    fallback_.SetTempo(rate);
}
double SdlAudio::Tempo() const {
    return fallback_.Tempo();
}
// The clock's player keeps the drum part and the clicks too, for a renderer that comes later.
void SdlAudio::SetDrumPart(DrumPart part) {
    if (renderer_) renderer_->SetDrumPart(part);
    fallback_.SetDrumPart(part);
}
void SdlAudio::SetClicks(std::vector<ClickBeat> beats) {
    if (renderer_) renderer_->SetClicks(beats);
    fallback_.SetClicks(std::move(beats));
}

void SdlAudio::PlayWave(const std::string& path) {
    PlayHitSound(path, clock_.Now(), kPlayerVoice);
}

void SdlAudio::PlayHitSound(const std::string& path, double stamp, int voice) {
    Wake();
    if (HasDevice()) renderer_->PlayHitSound(ResolvePath(path), stamp, voice);
}

bool SdlAudio::LoadWave(const std::string& path) {
    // Without a device nothing is ever played, so there is nothing to read ahead.
    return !HasDevice() || renderer_->LoadWave(ResolvePath(path));
}

}  // namespace zb::sdl
