// The game's own CPU time and memory on the screens that wait for the player and while a song
// plays, in the real window at 1x and 2x (667 x 500 and 1334 x 1000), or without a display:
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/waiting_cpu
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/waiting_cpu --scale 2
//   SDL_VIDEODRIVER=offscreen build/bench/waiting_cpu --scale 1
//   SDL_VIDEODRIVER=offscreen build/bench/waiting_cpu --scale 1 --pad   (an SDL virtual pad plugged
//   in)
//
// Without SDL_AUDIODRIVER set it uses SDL's dummy audio device, which asks for buffers at the
// pace of a real one: the music is rendered and its cost counted, on any machine.
//
// Each screen runs on the main thread exactly as the game runs it; a driver thread reads the
// process's CPU time (getrusage: every thread, the audio callback's included) over one-second
// windows and then sends the events that leave the screen. It prints, per screen, the median and
// the largest share of one core, the audio thread's median share (the music's synthesizer and the
// hit sounds), the anonymous memory at the end of the screen (RssAnon) and the peak of the
// resident memory while it ran (VmHWM, shared libraries included); and how the window presents.
//
// To add a screen, add one entry to Scenes(): how the game enters it (the screen run on the
// game's main loop, which blocks while it runs) and, on the driver thread, what is measured and
// which events end it.
#include <SDL.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/real_platform.hpp"
#include "core/chart_loader.hpp"
#include "core/screen_stack.hpp"
#include "course/history_screen.hpp"
#include "course/song_select.hpp"
#include "frontend/config_file.hpp"
#include "frontend/settings_screen.hpp"
#include "frontend/startup.hpp"
#include "frontend/title_screen.hpp"
#include "netrank/netrank_display.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_song.hpp"
#include "play/practice_screen.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    auto s = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return s(ru.ru_utime) + s(ru.ru_stime);
}

// CPU seconds of the threads whose name starts with `prefix` (the audio device's thread).
double ThreadCpuSeconds(const std::string& prefix) {
    double sum = 0;
    std::error_code ec;
    for (const auto& task : fs::directory_iterator("/proc/self/task", ec)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name.rfind(prefix, 0) != 0) continue;
        std::ifstream stat(task.path() / "schedstat");
        double ns = 0;
        if (stat >> ns) sum += ns * 1e-9;
    }
    return sum;
}

// A field of /proc/self/status in MB ("RssAnon", "VmHWM").
double StatusMb(const std::string& field) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024;
    return 0;
}

// Starts a new peak: VmHWM becomes the resident size now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void Sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// The driver thread's side of a screen: measures, and sends the player's events.
class Driver {
  public:
    // Waits `settle` seconds, then reads the CPU time over `seconds` one-second windows; the
    // memory's peak counts from the start of the settling.
    void Measure(std::string screen, double settle, int seconds) {
        screen += suffix;
        ResetPeak();
        Sleep(settle);
        order_.push_back(screen);
        Screen& s = screens_[screen];
        for (int i = 0; i < seconds; ++i) {
            const double cpu = CpuSeconds(), audio = ThreadCpuSeconds("SDLAudio");
            const auto t = Clock::now();
            Sleep(1.0);
            const double wall = std::chrono::duration<double>(Clock::now() - t).count();
            if (sceneOver) s.cut = true;
            s.cpu.push_back(100.0 * (CpuSeconds() - cpu) / wall);
            s.audio.push_back(100.0 * (ThreadCpuSeconds("SDLAudio") - audio) / wall);
        }
        s.anonMb = StatusMb("RssAnon");
        s.peakMb = StatusMb("VmHWM");
    }
    void Key(SDL_Scancode code) {
        for (const Uint32 type : {Uint32(SDL_KEYDOWN), Uint32(SDL_KEYUP)}) {
            SDL_Event e{};
            e.type = type;
            e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.scancode = code;
            SDL_PushEvent(&e);
            Sleep(0.05);
        }
    }
    // A left click at the window's centre.
    void Click() {
        int w = 0, h = 0;
        if (SDL_Window* window = SDL_GetWindowFromID(1)) SDL_GetWindowSize(window, &w, &h);
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = w / 2;
        e.button.y = h / 2;
        SDL_PushEvent(&e);
    }
    // The window manager's close button.
    void Close() {
        SDL_Event e{};
        e.type = SDL_QUIT;
        SDL_PushEvent(&e);
    }

    void Report() const {
        std::printf("%-21s %7s %7s %7s %9s %9s\n", "screen", "CPU %", "max %", "audio %", "RssAnon",
                    "VmHWM");
        for (const std::string& name : order_) {
            const Screen& s = screens_.at(name);
            std::printf("%-21s %7.1f %7.1f %7.1f %6.1f MB %6.1f MB%s\n", name.c_str(),
                        Median(s.cpu), *std::max_element(s.cpu.begin(), s.cpu.end()),
                        Median(s.audio), s.anonMb, s.peakMb,
                        s.cut ? "  (the screen ended during the measurement)" : "");
        }
    }

    std::atomic<bool> sceneOver{false};
    std::string suffix;  // the scale the screens run at, added to their names

  private:
    struct Screen {
        std::vector<double> cpu, audio;
        double anonMb = 0, peakMb = 0;
        bool cut = false;
    };
    std::vector<std::string> order_;
    std::map<std::string, Screen> screens_;
};

struct Scene {
    std::function<void(zb::Game&)> enter;  // main thread: blocks while the screen runs
    std::function<void(Driver&)> drive;    // driver thread: measures and leaves the screen
};

// Runs `screen` on the game's main loop (closing the window asks, as in the game) until the stack
// is empty or `seconds` have passed.
void RunOnGameStack(zb::Game& game, std::unique_ptr<zb::GameScreen> screen, double seconds = 1e9) {
    zb::ScreenStack stack(game);
    zb::SetUpGameStack(stack, game);
    stack.titleScreen = nullptr;  // a run-time error ends the bench
    stack.Push(game, std::move(screen));
    const double end = game.platform.clock.Now() + seconds;
    stack.RunWhile([&] { return game.platform.clock.Now() < end; });
}

// Song 0 in auto play, cut to its first ten seconds, and then its results.
void PlayShortSong(zb::Game& game) {
    const zb::ChartId chart{0, 0};
    zb::PlayScreenSetup(game, chart, true, false);
    zb::LoadChart(game, chart, 0);
    game.chart.PartEndTime = 1000;
    zb::PlaySong(game, true, chart);
}

std::vector<Scene> Scenes() {
    return {
        // The title waits between events as the game's main loop does; its music off.
        {[](zb::Game& g) {
             g.platform.music.SetFileName("");
             RunOnGameStack(g, std::make_unique<zb::TitleScreen>(), 8);
         },
         [](Driver& d) { d.Measure("title, music off", 1, 6); }},
        {[](zb::Game& g) { RunOnGameStack(g, std::make_unique<zb::SettingsScreen>()); },
         [](Driver& d) {
             d.Measure("settings", 1, 5);
             d.Key(SDL_SCANCODE_RETURN);  // saves and goes back to the title
         }},
        {PlayShortSong,
         [](Driver& d) {
             d.Measure("auto play", 2, 6);
             d.Measure("results wait", 3.5, 4);  // the song ends ten seconds in
         }},
        {[](zb::Game& g) { RunOnGameStack(g, std::make_unique<zb::NetRankDisplayScreen>(false)); },
         [](Driver& d) {
             d.Measure("ranking display", 1, 5);
             d.Click();  // ends the display's wait
         }},
        // Practice playing its section, then with 待つ: the song stands at a note, the screen
        // looking for the stroke every millisecond.
        {[](zb::Game& g) {
             RunOnGameStack(g, std::make_unique<zb::PracticeScreen>(zb::ChartId{0, 0}));
         },
         [](Driver& d) {
             d.Measure("practice", 1, 4);
             d.Key(SDL_SCANCODE_F7);
             d.Measure("practice, waiting", 2, 4);  // stands from the next note on
             d.Key(SDL_SCANCODE_ESCAPE);
         }},
        // 記録 plotting the last chart played, as a menu waits.
        {[](zb::Game& g) { RunOnGameStack(g, std::make_unique<zb::HistoryScreen>()); },
         [](Driver& d) {
             d.Measure("history plots", 1, 5);
             d.Key(SDL_SCANCODE_ESCAPE);
         }},
        // The exit question comes last: its OK ends the game.
        {[](zb::Game& g) { RunOnGameStack(g, std::make_unique<zb::CourseScreen>(zb::Course{})); },
         [](Driver& d) {
             d.Measure("song select", 1, 6);
             d.Close();
             d.Measure("exit question", 1, 5);
             d.Key(SDL_SCANCODE_RETURN);
         }},
    };
}

// A program folder of its own, with the pictures and sounds beside it and settings and scores
// in place, so that the start-up shows no warning.
fs::path MakeProgramFolder() {
    std::string tmpl = (fs::temp_directory_path() / "zb-waiting-cpu.XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a temporary folder");
    const fs::path dir = tmpl;
    for (const char* sub : {"img", "sound"})
        fs::create_directory_symlink(fs::path(ZB_SOURCE_DIR) / "assets" / sub, dir / sub);
    zb::Settings s;
    s.KeyCodes = {97, 98, 100, 101};
    s.DelaySetting = 9;
    s.BgmVolume = -600;
    std::ofstream(dir / "config.dat", std::ios::binary) << zb::EncodeConfig(s);
    std::ofstream(dir / "score.dat", std::ios::binary) << std::string(296, '\0');
    // Plays for 記録 to plot.
    std::ofstream history(dir / "history.txt", std::ios::binary);
    history << "version 1\n";
    for (int i = 0; i < 20; ++i)
        history << "2026-04-" << 10 + i << " 20:00:00\t0\t0\t0\tlocal\t" << 150000 + 2000 * i
                << "\t150\t15\t5\t120\t95.0\t-\t" << 10 - i << ".0 12.0 170 keyboard\n";
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> scales;
    bool withPad = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--pad") withPad = true;
        if (std::string(argv[i]) == "--scale" && i + 1 < argc)
            scales.push_back(std::atoi(argv[++i]));
    }
    if (scales.empty()) scales = {1, 2};
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::unique_ptr<zb::RealPlatform> real;
    try {
        real = std::make_unique<zb::RealPlatform>();
    } catch (const std::exception& e) {
        std::fprintf(stderr,
                     "waiting_cpu: %s\nRun it under xvfb-run -a, or with "
                     "SDL_VIDEODRIVER=offscreen for no window.\n",
                     e.what());
        return 1;
    }
    // A game controller plugged in for the whole run: its pumping must not make waiting dearer.
    if (withPad) SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 21, 0);
    const fs::path dir = MakeProgramFolder();
    zb::Platform ports = real->ports;
    ports.appDir = dir.string() + "/";
    ports.saveDir = ports.appDir;  // the settings and scores made above, not the build folder's
    zb::Game game(ports);
    {
        zb::ScreenStack stack(game);  // takes the window's events during the start-up's waits
        zb::StartUp(game);
    }
    const double startAnon = StatusMb("RssAnon"), startPeak = StatusMb("VmHWM");

    Driver driver;
    const std::vector<Scene> scenes = Scenes();
    for (const int scale : scales) {
        SDL_SetWindowSize(real->window.Handle(), zb::kFormWidthPx * scale,
                          zb::kFormHeightPx * scale);
        for (int i = 0; i < 50; ++i) real->window.DoEvents(), Sleep(0.01);
        driver.suffix = " " + std::to_string(scale) + "x";
        std::atomic<size_t> started{0}, driven{0};
        std::thread thread([&] {
            for (size_t i = 0; i < scenes.size(); ++i) {
                while (started.load() <= i) Sleep(0.01);
                scenes[i].drive(driver);
                driven = i + 1;
            }
        });
        for (size_t i = 0; i < scenes.size(); ++i) {
            driver.sceneOver = false;
            started = i + 1;
            try {
                scenes[i].enter(game);
            } catch (const zb::ProgramEnd&) {
            }
            driver.sceneOver = true;
            while (driven.load() <= i) real->window.DoEvents(), Sleep(0.01);
        }
        thread.join();
    }
    std::printf("Video driver %s; the window presents through %s\n", SDL_GetCurrentVideoDriver(),
                real->window.PresentPath().c_str());
    std::printf("CPU time of the game (all threads), %% of one core; memory from /proc\n");
    std::printf("%-21s %7s %7s %7s %6.1f MB %6.1f MB\n", "start-up to the title", "", "", "",
                startAnon, startPeak);
    driver.Report();
    if (withPad) std::printf("with a virtual pad plugged in\n");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
