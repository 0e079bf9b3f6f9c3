#include "platform/midi/midi_kits.hpp"

#include <RtMidi.h>
#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/fault_switch.hpp"
#include "platform/jack/jack_quiet.hpp"
#include "platform/kit_inputs.hpp"
#include "platform/midi/stroke_ring.hpp"
#include "platform/midi/wake_relay.hpp"
#include "platform/stderr_line.hpp"

namespace zb::midi {

namespace {

constexpr auto kLookPeriod = std::chrono::seconds(2);

// What ALSA and JACK print about a sequencer, a server or a sound card that is not there is
// library chatter: the game says what failed in its own lines (no audio device, no kit). Both
// libraries' error hooks are process-wide, so they are set once (ALSA's here, JACK's in
// jack_quiet.hpp) to keep quiet on every thread (swapping them while another thread opens the
// audio device raced).
void AlsaError(const char*, int, const char*, int, const char*, ...) {}

// Marks the kit thread's looks: RtMidi's complaints there are kept for the look to read.
thread_local bool tQuiet = false;
struct Quiet {
    Quiet() { tQuiet = true; }
    ~Quiet() { tQuiet = false; }
};

bool Skipped(const std::string& port, const std::string& client) {
    return port.empty() || port.rfind(client, 0) == 0 ||
           port.find("Midi Through") != std::string::npos ||
           port.find("Midi-Through") != std::string::npos;
}

struct Stroke {
    double at = 0;
    uint8_t note = 0, velocity = 0;
};

}  // namespace

struct MidiKits::Impl {
    struct Device {
        Impl* owner = nullptr;
        std::string port, name;
        RtMidi::Api api = RtMidi::UNSPECIFIED;
        int slot = 0;
        SpscRing<Stroke, 1024> ring;
        std::unique_ptr<RtMidiIn> in;  // null once closed
        bool announced = false, gone = false;
    };
    struct Port {
        std::string name;
        RtMidi::Api api;
    };

    Impl(Clock& c, KeyStateKeyboard& k, std::function<void()> w, std::string cl)
        : clock(c), keys(k), relay(std::move(w)), client(std::move(cl)) {
        static std::once_flag handlers;
        std::call_once(handlers, [] { snd_lib_error_set_handler(&AlsaError); });
        jack::KeepJackQuiet();
        scanner = std::thread([this] { Run(); });
    }

    ~Impl() {
        {
            std::lock_guard lk(scanMu);
            stop = true;
        }
        cv.notify_all();
        scanner.join();
        Quiet quiet;
        for (auto& d : devices) d->in.reset();
        alsaList.reset();
        if (jackProbe) jack_client_close(jackProbe);
    }

    void Run() {
        std::unique_lock lk(scanMu);
        while (!stop) {
            looking = true;
            lk.unlock();
            try {
                Look();
            } catch (const std::exception& e) {
                // The kits opened stay; the rest are looked for again at the next look.
                SayOnStderr(std::string("looking for MIDI kits failed: ") + e.what());
            }
            lk.lock();
            looking = false;
            ++looks;
            cv.notify_all();
            cv.wait_for(lk, kLookPeriod, [&] { return stop || asked > looks; });
        }
    }

    // The ports of one API that may be kits.
    void List(RtMidiIn& in, RtMidi::Api api, std::vector<Port>& out) {
        const unsigned n = in.getPortCount();
        for (unsigned i = 0; i < n; ++i)
            if (std::string name = in.getPortName(i); !Skipped(name, client))
                out.push_back({name, api});
    }

    void Look() {
        Quiet quiet;
        std::vector<Port> ports;
        bool alsa = false, jack = false;
        if (!alsaList && access("/dev/snd/seq", R_OK | W_OK) == 0) {
            try {
                alsaList = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, client);
                alsaList->setErrorCallback(&OnError, this);
            } catch (const RtMidiError&) {
            }
        }
        if (alsaList) {
            alsa = true;
            List(*alsaList, RtMidi::LINUX_ALSA, ports);
        }
        // JACK is asked through a client of the game's own: RtMidi would print on standard error
        // when no server runs.
        if (jackProbe && jackDead) {
            jack_client_close(jackProbe);
            jackProbe = nullptr;
            jackDead = false;
        }
        if (!jackProbe) {
            jack_status_t status{};
            jackProbe = jack_client_open(client.c_str(), JackNoStartServer, &status);
            if (jackProbe) jack_on_shutdown(jackProbe, &OnJackShutdown, this);
        }
        if (jackProbe) {
            jack = true;
            std::vector<Port> jackPorts;
            if (const char** names =
                    jack_get_ports(jackProbe, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput)) {
                for (const char** n = names; *n; ++n)
                    if (!Skipped(*n, client)) jackPorts.push_back({*n, RtMidi::UNIX_JACK});
                jack_free(names);
            }
            // A device that ALSA offers too (PipeWire bridges every one) is opened through ALSA
            // only, so that no stroke arrives twice.
            for (const Port& p : jackPorts) {
                const bool viaAlsa = std::any_of(ports.begin(), ports.end(), [&](const Port& a) {
                    const std::string owner = a.name.substr(0, a.name.find(':'));
                    return a.api == RtMidi::LINUX_ALSA && !owner.empty() &&
                           p.name.find(owner) != std::string::npos;
                });
                if (!viaAlsa) ports.push_back(p);
            }
        }
        if (!alsa && !jack && !saidNone) {
            SayOnStderr(
                "no MIDI kit can connect: there is neither an ALSA sequencer nor a JACK "
                "server");
            saidNone = true;
        }
        const auto listed = [&](const Device& d) {
            return std::any_of(ports.begin(), ports.end(),
                               [&](const Port& p) { return p.name == d.port && p.api == d.api; });
        };
        bool changed = false;
        // Kits that went: closed here, let go of by the game thread.
        std::vector<std::pair<Device*, std::unique_ptr<RtMidiIn>>> leaving;
        {
            std::lock_guard lk(mu);
            for (auto& d : devices)
                if (!d->gone && d->in && !listed(*d))
                    leaving.emplace_back(d.get(), std::move(d->in));
        }
        for (auto& [d, in] : leaving) in.reset();
        {
            std::lock_guard lk(mu);
            for (auto& [d, in] : leaving) d->gone = true;
            changed = !leaving.empty();
        }
        for (const Port& p : ports) {
            int slot = -1;
            {
                std::lock_guard lk(mu);
                if (std::any_of(devices.begin(), devices.end(), [&](const auto& d) {
                        return !d->gone && d->port == p.name && d->api == p.api;
                    }))
                    continue;
                for (int s = 0; s < kit::kSlots && slot < 0; ++s)
                    if (std::none_of(devices.begin(), devices.end(),
                                     [s](const auto& d) { return d->slot == s; }))
                        slot = s;
            }
            if (slot < 0) break;  // every slot is taken
            auto d = std::make_unique<Device>();
            d->owner = this;
            d->port = p.name;
            d->name = StableName(p.name);
            d->api = p.api;
            d->slot = slot;
            try {
                if (!Open(*d)) continue;
            } catch (const std::exception& e) {
                SayOnStderr("MIDI kit " + d->name + " dropped (" + e.what() +
                            "): it is looked for again");
                continue;
            }
            std::lock_guard lk(mu);
            devices.push_back(std::move(d));
            changed = true;
        }
        if (changed) relay.Signal();
    }

    // Opens the device's port for its strokes; false when it cannot be opened (it went meanwhile).
    bool Open(Device& d) {
        fault::Trip(fault::Place::Kit);
        try {
            auto in = std::make_unique<RtMidiIn>(d.api, client, 100);
            error.clear();
            in->setErrorCallback(&OnError, this);
            in->ignoreTypes(true, true, true);
            in->setCallback(&OnMessage, &d);
            const unsigned n = in->getPortCount();
            unsigned i = 0;
            while (i < n && in->getPortName(i) != d.port) ++i;
            if (i == n || !error.empty()) return false;
            in->openPort(i, "kit");
            if (!error.empty()) return false;
            d.in = std::move(in);
            return true;
        } catch (const RtMidiError&) {
            return false;
        }
    }

    // On the MIDI thread (JACK's real-time one): stamp, hand over, wake, and never wait: the
    // ring and the flag are lock-free, and the relay's signal is one write to an eventfd.
    static void OnMessage(double, std::vector<unsigned char>* m, void* user) {
        auto* d = static_cast<Device*>(user);
        if (!m || m->size() < 3 || ((*m)[0] & 0xF0) != 0x90 || (*m)[2] == 0) return;
        Impl& self = *d->owner;
        d->ring.Push({self.clock.Now(), (*m)[1], (*m)[2]});
        if (!self.wakePending.exchange(true)) self.relay.Signal();
    }

    static void OnJackShutdown(void* user) { static_cast<Impl*>(user)->jackDead = true; }

    // On the kit thread RtMidi's complaint is kept for the look to read; on a MIDI thread (a
    // device that failed while it played) it is said on standard error.
    static void OnError(RtMidiError::Type, const std::string& text, void* user) {
        if (tQuiet)
            static_cast<Impl*>(user)->error = text;
        else
            SayOnStderr("MIDI kit: " + text);
    }

    bool Pump() {
        wakePending.store(false);
        bool any = false;
        std::lock_guard lk(mu);
        for (auto it = devices.begin(); it != devices.end();) {
            Device& d = **it;
            if (!d.announced) {
                keys.KitAdded({d.slot, d.name});
                d.announced = true;
                any = true;
            }
            for (Stroke s; d.ring.Pop(s); any = true)
                keys.KitStroke(d.slot, s.note, s.velocity, s.at);
            if (d.gone) {
                keys.KitRemoved(d.slot, clock.Now());
                it = devices.erase(it);
                any = true;
            } else {
                ++it;
            }
        }
        return any;
    }

    void LookNow() {
        std::unique_lock lk(scanMu);
        const uint64_t target = looks + (looking ? 2 : 1);
        asked = target;
        cv.notify_all();
        cv.wait(lk, [&] { return stop || looks >= target; });
    }

    Clock& clock;
    KeyStateKeyboard& keys;
    WakeRelay relay;  // runs the window's wake-up off the MIDI thread
    std::string client;
    std::atomic<bool> wakePending{false};

    std::mutex mu;  // the list of devices: the kit thread changes it, the game thread reads it
    std::vector<std::unique_ptr<Device>> devices;

    // The kit thread's own.
    std::unique_ptr<RtMidiIn> alsaList;
    jack_client_t* jackProbe = nullptr;
    std::atomic<bool> jackDead{false};  // the server went away under jackProbe
    std::string error;                  // what RtMidi last reported on the kit thread
    bool saidNone = false;

    std::mutex scanMu;
    std::condition_variable cv;
    bool stop = false, looking = false;
    uint64_t looks = 0, asked = 0;
    std::thread scanner;
};

MidiKits::MidiKits(Clock& clock, KeyStateKeyboard& keys, std::function<void()> wake,
                   std::string client)
    : impl_(std::make_unique<Impl>(clock, keys, std::move(wake), std::move(client))) {}

MidiKits::~MidiKits() = default;

bool MidiKits::Pump() {
    return impl_->Pump();
}

void MidiKits::LookNow() {
    impl_->LookNow();
}

std::string MidiKits::StableName(const std::string& port) {
    // A trailing " <client>:<port>" in digits.
    const size_t space = port.rfind(' ');
    if (space == std::string::npos) return port;
    const std::string tail = port.substr(space + 1);
    const size_t colon = tail.find(':');
    const auto digits = [](const std::string& s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
    };
    if (colon == std::string::npos || !digits(tail.substr(0, colon)) ||
        !digits(tail.substr(colon + 1)))
        return port;
    return port.substr(0, space);
}

}  // namespace zb::midi
