#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/held_stderr.hpp"
#include "platform/stderr_line.hpp"

namespace zb::sdl {

namespace {
constexpr int kWantedRate = 48000;
constexpr int kWantedFrames = 256;

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

SdlAudio::SdlAudio(Clock& clock, std::string soundfont) : clock_(clock), fallback_(clock) {
    soundfontMissing_ = soundfont.empty();
    SDL_AudioSpec have{};
    {
        HeldStderr held;
        initialized_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (initialized_)
            device_ =
                OpenDevice(&SdlAudio::Callback, this, kWantedRate, kWantedFrames,
                           SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE, have);
        const std::string said = held.Release();
        if (device_ == 0) {
            // What the sound libraries said while they looked is dropped: one line says it all.
            SayOnStderr(std::string("no audio device (") + SDL_GetError() +
                        "); the game runs without sound");
            return;
        }
        std::fputs(said.c_str(), stderr);  // a device was found: nothing is kept back
    }
    rate_ = have.freq;
    bufferFrames_ = have.samples;
    renderer_ = std::make_unique<audio::AudioRenderer>(clock_, rate_, soundfont);
    if (!renderer_->HasSynth()) soundfontMissing_ = true;
    // The buffer being rendered plays after the one the device holds.
    renderer_->SetOutputLatency(2.0 * bufferFrames_ / rate_);
    SDL_PauseAudioDevice(device_, 0);
}

SdlAudio::~SdlAudio() {
    if (device_ && !resting_) SDL_CloseAudioDevice(device_);  // waits for a running callback
    renderer_.reset();
    if (initialized_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudio::RestIfSilent() {
    if (!device_ || resting_ || !file_.empty() || !renderer_->Silent()) return;
    SDL_CloseAudioDevice(device_);  // waits for a running callback
    resting_ = true;
}

void SdlAudio::Wake() {
    if (!resting_) return;
    resting_ = false;
    // The renderer keeps its rate and buffer: SDL converts if the device now wants others.
    SDL_AudioSpec have{};
    device_ = OpenDevice(&SdlAudio::Callback, this, rate_, bufferFrames_, 0, have);
    if (device_ == 0) {
        SayOnStderr(std::string("the audio device could not be opened again (") + SDL_GetError() +
                    "); the game goes on without sound");
        return;
    }
    SDL_PauseAudioDevice(device_, 0);
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
    Wake();
    if (device_) renderer_->PlayWave(ResolvePath(path));
}

bool SdlAudio::LoadWave(const std::string& path) {
    // Without a device nothing is ever played, so there is nothing to read ahead.
    return !device_ || renderer_->LoadWave(ResolvePath(path));
}

}  // namespace zb::sdl
