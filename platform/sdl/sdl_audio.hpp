// The real music and hit-sound player: the renderer (platform/audio: the music with FluidSynth,
// the hit sounds' mixer) behind a JACK client of the game's own (platform/jack) or an SDL audio
// device. ZUBAKKO_AUDIO=jack|sdl|auto picks (auto: JACK when a server runs, JACK itself or
// PipeWire's); ZUBAKKO_AUDIO_FRAMES=N fixes SDL's period for the run. Without either, or without
// the soundfont, the music's position follows the clock from the moment a file was set, so the
// game still runs and no end time is waited for in vain.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/audio_renderer.hpp"
#include "platform/headless/headless.hpp"
#include "platform/jack/jack_output.hpp"
#include "platform/ports.hpp"

namespace zb::sdl {

class SdlAudio : public MusicPlayer, public WavePlayer {
  public:
    // Opens the default output device (48 kHz, a buffer of `period` frames or the smallest it
    // allows; 0 asks for 128). `soundfont` empty: the installed General MIDI soundfont is
    // searched for.
    explicit SdlAudio(Clock& clock, std::string soundfont = audio::FindSoundfont(), int period = 0);
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // A start-up failure: the music cannot be played without the soundfont.
    bool SoundfontMissing() const { return soundfontMissing_; }
    bool HasDevice() const { return device_ != 0 || jack_ != nullptr; }
    // "JACK (server default)" or "SDL (pulseaudio)", the period and the rate: the start-up's
    // line about the sound.
    std::string Describe() const;
    int SampleRate() const { return rate_; }
    int BufferFrames() const { return bufferFrames_; }
    // Seconds from a callback until its last frame is heard, as the device reports it.
    double OutputLatency() const;

    void SetFileName(const std::string& path) override;
    std::string FileName() const override { return file_; }
    void SetAutoStart(bool on) override { autoStart_ = on; }
    void SetEnabled(bool on) override { enabled_ = on; }
    void SetVolume(int32_t hundredthsDb) override;
    int32_t Volume() const override { return volume_; }
    double CurrentPosition() override;
    double PositionAt(double clockSeconds) override;
    void Pause() override;
    void Resume() override;
    bool Paused() const override;
    void Seek(double songSeconds) override;
    void SetTempo(double rate) override;
    double Tempo() const override;
    void SetDrumPart(DrumPart part) override;
    DrumPart Drums() const override { return fallback_.Drums(); }
    void SetClicks(std::vector<ClickBeat> beats) override;
    bool Clicking() const override { return fallback_.Clicking(); }

    uint64_t Underruns() const override;
    // Of those, the sound server's own xruns (JACK; 0 on SDL).
    uint64_t ServerXruns() const { return jack_ ? jack_->Xruns() : 0; }
    void SetWantedPeriod(int frames) override;
    int PeriodFrames() const override { return HasDevice() ? bufferFrames_ : 0; }
    bool ServerSetsPeriod() const override { return jack_ != nullptr; }

    void PlayWave(const std::string& path) override;
    void PlayHitSound(const std::string& path, double stamp, int voice) override;
    bool LoadWave(const std::string& path) override;
    // Closes the device while no music is set and nothing sounds any more, so that a screen
    // without music keeps no audio thread busy; the next music or hit sound opens it again. The
    // window calls it when it is about to sleep.
    void RestIfSilent();
    bool Resting() const { return resting_; }

    // The renderer, for measuring the hit sound's path; null without an audio device.
    audio::AudioRenderer* Renderer() { return HasDevice() ? renderer_.get() : nullptr; }

  private:
    static void Callback(void* self, uint8_t* stream, int len);
    // Opens the device again after a rest; without it the game goes on silently.
    void Wake();
    // Opens the device with the period asked for; false without one.
    bool Open(int allowedChanges);
    bool MusicRendered() const { return HasDevice() && renderer_ && renderer_->HasSynth(); }
    // Joins a JACK server; false, having said why when JACK was asked for, without one.
    bool JoinJack(const std::string& soundfont, bool asked);

    Clock& clock_;
    std::unique_ptr<audio::AudioRenderer> renderer_;
    std::unique_ptr<jack::JackOutput> jack_;  // set: the sound goes through JACK
    bool periodFixed_ = false;                // ZUBAKKO_AUDIO_FRAMES set it for the run
    headless::ClockMusicPlayer fallback_;
    uint32_t device_ = 0;
    bool resting_ = false;  // closed for a while; device_ is what to open again
    bool initialized_ = false;
    bool soundfontMissing_ = false;
    int rate_ = 48000;
    int bufferFrames_ = 0;
    int wantedFrames_ = 0;
    std::string file_;
    bool autoStart_ = false, enabled_ = false;
    int32_t volume_ = 0;
};

}  // namespace zb::sdl
