// The game's sound as a JACK client, measured at its output port. A JACK dummy server of the
// benchmark's own (48 kHz, each period asked for) runs the game's audio adapter with
// ZUBAKKO_AUDIO=jack, and a capture client of the benchmark reads the game's output port and a
// fake kit's MIDI port in the same cycles. Two busy processes load the machine meanwhile (--idle
// leaves them out). For each period, over the strokes (a short click, so that each onset stands
// apart; the stamps fall anywhere in the period):
//   key  stamp → port: from a key's stamp (taken as the window's handler would, then the sound
//                      asked for at once) to the first sample of its sound at the port;
//   kit  note → port:  from the frame of a fake kit's note-on (an RtMidi port on the server,
//                      read by the game's kit adapter and the real window's pumping) to the same;
// medians, 1st and 99th percentiles in ms, the jitter (p99 − p1), and the underruns counted.
// --play S then plays the built-in songs' music through the renderer for S seconds with a hit
// sound every eighth of a second, as an auto play does, and counts the underruns.
//
//   SDL_VIDEODRIVER=offscreen build/bench/jack_bench [--period N] [--strokes N] [--play S] [--idle]
#include <RtMidi.h>
#include <SDL.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/songs.hpp"
#include "platform/kit_inputs.hpp"
#include "platform/midi/midi_kits.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "tests/common/jack_server.hpp"

namespace {

using namespace std::chrono_literals;

double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

// A click of 96 frames at full half level: its first sample is its onset.
std::string WriteClick() {
    const std::string path = "/tmp/zb_jack_bench_click_" + std::to_string(getpid()) + ".wav";
    auto le = [](std::string& s, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += char((v >> (8 * i)) & 0xFF);
    };
    const int frames = 96;
    std::string f = "RIFF";
    le(f, uint32_t(36 + 2 * frames), 4);
    f += "WAVEfmt ";
    le(f, 16, 4);     // the format chunk's size
    le(f, 1, 2);      // PCM
    le(f, 1, 2);      // mono
    le(f, 48000, 4);  // frames a second
    le(f, 96000, 4);  // bytes a second
    le(f, 2, 2);      // bytes a frame
    le(f, 16, 2);     // bits a sample
    f += "data";
    le(f, uint32_t(2 * frames), 4);
    for (int i = 0; i < frames; ++i) le(f, 16384, 2);
    std::ofstream(path, std::ios::binary) << f;
    return path;
}

// The benchmark's own client: the first sample above silence on its audio input and the first
// note-on on its MIDI input since it was armed, each at its frame's time on the server's clock.
struct Capture {
    Capture(zb::Clock& c) : clock(c) {
        jack_status_t status{};
        client = jack_client_open("bench capture", JackNoStartServer, &status);
        if (!client) return;
        audio = jack_port_register(client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        midi = jack_port_register(client, "kit", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        rate = jack_get_sample_rate(client);
        jack_set_process_callback(client, &Capture::Process, this);
        jack_activate(client);
    }
    ~Capture() {
        if (client) jack_client_close(client);
    }
    void Arm() {
        onset = 0;
        note = 0;
        armed = true;
    }
    static int Process(jack_nframes_t n, void* arg) {
        auto* self = static_cast<Capture*>(arg);
        // Frames on the server's own clock: the time the server gives the cycle's frames.
        const jack_nframes_t first = jack_last_frame_time(self->client);
        const auto at = [self, first](jack_nframes_t i) {
            return double(jack_frames_to_time(self->client, first + i)) * 1e-6;
        };
        if (!self->armed) return 0;
        void* events = jack_port_get_buffer(self->midi, n);
        for (uint32_t i = 0, count = jack_midi_get_event_count(events); i < count; ++i) {
            jack_midi_event_t e;
            if (jack_midi_event_get(&e, events, i) == 0 && e.size >= 3 &&
                (e.buffer[0] & 0xF0) == 0x90 && e.buffer[2] > 0 && self->note.load() == 0)
                self->note = at(e.time);
        }
        const auto* in = static_cast<const float*>(jack_port_get_buffer(self->audio, n));
        for (jack_nframes_t i = 0; i < n; ++i)
            if (std::abs(in[i]) > 1e-4f) {
                self->onset = at(i);
                self->armed = false;
                break;
            }
        return 0;
    }
    zb::Clock& clock;
    jack_client_t* client = nullptr;
    jack_port_t *audio = nullptr, *midi = nullptr;
    double rate = 48000;
    std::atomic<bool> armed{false};
    std::atomic<double> onset{0}, note{0};
};

// The game's output port (its client may have been renamed if the name was taken).
bool Connect(jack_client_t* c, const char* pattern, const char* to) {
    const char** ports = jack_get_ports(c, pattern, nullptr, JackPortIsOutput);
    const bool ok = ports && ports[0] && jack_connect(c, ports[0], to) == 0;
    if (ports) jack_free(ports);
    return ok;
}

struct Figures {
    std::vector<double> ms;
    void Print(const char* what) const {
        const double p1 = Quantile(ms, 0.01), p99 = Quantile(ms, 0.99);
        std::printf(
            "  %-16s n %3zu  median %5.2f  p1 %5.2f  p10 %5.2f  p90 %5.2f  p99 %5.2f  "
            "jitter %5.3f ms\n",
            what, ms.size(), Quantile(ms, 0.5), p1, Quantile(ms, 0.1), Quantile(ms, 0.9), p99,
            p99 - p1);
    }
};

void Measure(int period, int strokes, double playSeconds) {
    zb::testing::JackServer jack(period);
    if (!jack.Ready()) {
        std::printf("period %d: jackd -d dummy did not start\n", period);
        return;
    }
    setenv("ZUBAKKO_AUDIO", "jack", 1);
    zb::sdl::SdlClock clock;
    zb::sdl::SdlKeyboard keyboard;
    zb::sdl::SdlWindow window(clock, keyboard);
    const std::string click = WriteClick();
    Figures key, kit;
    uint64_t underruns = 0;
    {
        zb::sdl::SdlAudio audio(clock, "");  // the hit sounds alone: each onset after silence
        std::printf("period %d (%.2f ms): %s\n", period, period / 48.0, audio.Describe().c_str());
        audio.LoadWave(click);
        zb::midi::MidiKits kits(clock, keyboard, &zb::sdl::SdlWindow::Wake);
        window.SetInputPump([&kits] { return kits.Pump(); });
        RtMidiOut fake(RtMidi::UNIX_JACK, "bench kit");
        fake.openVirtualPort("out");
        Capture cap(clock);
        if (!cap.client || !Connect(cap.client, "zubakko.*:out_left", "bench capture:in") ||
            !Connect(cap.client, "bench kit:out", "bench capture:kit")) {
            std::printf("  the capture client could not connect\n");
            return;
        }
        kits.LookNow();
        window.DoEvents();
        keyboard.SetDownHandler([&](int, double at) { audio.PlayHitSound(click, at, 0); });
        const auto settle = [&] {
            const double until = clock.Now() + 0.02;
            while (clock.Now() < until) window.WaitUntil(until);
        };
        settle();
        const uint64_t before = audio.Underruns();
        for (int i = 0; i < strokes; ++i) {
            std::this_thread::sleep_for(std::chrono::microseconds(3000 + (i * 2371) % 6000));
            cap.Arm();
            const double stamp = clock.Now();
            const double serverStamp = double(jack_get_time()) * 1e-6;  // the same moment
            audio.PlayHitSound(click, stamp, 0);
            for (const double end = stamp + 1; cap.armed && clock.Now() < end;)
                std::this_thread::sleep_for(100us);
            if (!cap.armed) key.ms.push_back((cap.onset - serverStamp) * 1000);
            settle();
        }
        const unsigned char on[3] = {0x99, 38, 90}, off[3] = {0x89, 38, 0};
        for (int i = 0; i < strokes; ++i) {
            std::this_thread::sleep_for(std::chrono::microseconds(3000 + (i * 2371) % 6000));
            cap.Arm();
            fake.sendMessage(on, 3);
            fake.sendMessage(off, 3);
            for (const double end = clock.Now() + 1; cap.armed && clock.Now() < end;)
                window.WaitUntil(clock.Now() + 0.001);
            if (!cap.armed && cap.note > 0) kit.ms.push_back((cap.onset - cap.note) * 1000);
            settle();
        }
        keyboard.SetDownHandler(nullptr);
        window.SetInputPump(nullptr);
        underruns = audio.Underruns() - before;
    }
    key.Print("key stamp → port");
    kit.Print("kit note → port");
    std::printf("  underruns while measuring: %llu\n", static_cast<unsigned long long>(underruns));
    if (playSeconds > 0) {
        zb::sdl::SdlAudio audio(clock);
        const std::string don = std::string(ZB_SOURCE_DIR) + "/assets/sound/don.wav";
        audio.LoadWave(don);
        const uint64_t before = audio.Underruns(), xrunsBefore = audio.ServerXruns();
        const double start = clock.Now();
        int song = 0;
        double songEnd = 0;
        for (double next = start; clock.Now() < start + playSeconds; next += 0.125) {
            if (clock.Now() >= songEnd) {
                const int s = song++ % zb::kSongCount;
                audio.SetFileName(std::string(ZB_SOURCE_DIR) + "/assets/" + zb::SongMusicFile(s));
                songEnd = clock.Now() + 60;
            }
            std::this_thread::sleep_for(std::chrono::duration<double>(next - clock.Now()));
            audio.PlayHitSound(don, clock.Now(), 0);
        }
        std::printf(
            "  underruns in %.0f s of music and hit sounds: %llu (the server's xruns %llu)\n",
            playSeconds, static_cast<unsigned long long>(audio.Underruns() - before),
            static_cast<unsigned long long>(audio.ServerXruns() - xrunsBefore));
    }
    std::remove(click.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> periods{64, 128, 256};
    int strokes = 300;
    double play = 0;
    bool idle = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--period" && i + 1 < argc) periods = {std::atoi(argv[++i])};
        if (a == "--strokes" && i + 1 < argc) strokes = std::atoi(argv[++i]);
        if (a == "--play" && i + 1 < argc) play = std::atof(argv[++i]);
        if (a == "--idle") idle = true;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::vector<pid_t> busy;
    for (int i = 0; i < (idle ? 0 : 2); ++i)
        if (const pid_t pid = fork(); pid == 0) {
            std::atomic<uint64_t> spin{0};
            for (;;) spin.fetch_add(1, std::memory_order_relaxed);
        } else if (pid > 0) {
            busy.push_back(pid);
        }
    std::printf("%s\n", idle ? "machine otherwise idle" : "two busy processes load the machine");
    for (int p : periods) Measure(p, strokes, play);
    for (pid_t pid : busy) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}
