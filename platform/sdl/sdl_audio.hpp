// The real music and hit-sound player: an SDL audio device whose callback renders the music with
// FluidSynth and mixes the hit sounds (platform/audio). Without an audio device, or without the
// soundfont, the music's position follows the clock from the moment a file was set, so the game
// still runs and no end time is waited for in vain.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/audio_renderer.hpp"
#include "platform/headless/headless.hpp"
#include "platform/ports.hpp"

namespace zb::sdl {

class SdlAudio : public MusicPlayer, public WavePlayer {
  public:
    // Opens the default output device (48 kHz, 256-frame buffer or the smallest it allows).
    // `soundfont` empty: the installed General MIDI soundfont is searched for.
    explicit SdlAudio(Clock& clock, std::string soundfont = audio::FindSoundfont());
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // A start-up failure: the music cannot be played without the soundfont.
    bool SoundfontMissing() const { return soundfontMissing_; }
    bool HasDevice() const { return device_ != 0; }
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

    void PlayWave(const std::string& path) override;
    bool LoadWave(const std::string& path) override;
    // Closes the device while no music is set and nothing sounds any more, so that a screen
    // without music keeps no audio thread busy; the next music or hit sound opens it again. The
    // window calls it when it is about to sleep.
    void RestIfSilent();
    bool Resting() const { return resting_; }

    // The renderer, for measuring the hit sound's path; null without an audio device.
    audio::AudioRenderer* Renderer() { return device_ ? renderer_.get() : nullptr; }

  private:
    static void Callback(void* self, uint8_t* stream, int len);
    // Opens the device again after a rest; without it the game goes on silently.
    void Wake();
    bool MusicRendered() const { return device_ != 0 && renderer_ && renderer_->HasSynth(); }

    Clock& clock_;
    std::unique_ptr<audio::AudioRenderer> renderer_;
    headless::ClockMusicPlayer fallback_;
    uint32_t device_ = 0;
    bool resting_ = false;  // closed for a while; device_ is what to open again
    bool initialized_ = false;
    bool soundfontMissing_ = false;
    int rate_ = 48000;
    int bufferFrames_ = 0;
    std::string file_;
    bool autoStart_ = false, enabled_ = false;
    int32_t volume_ = 0;
};

}  // namespace zb::sdl
