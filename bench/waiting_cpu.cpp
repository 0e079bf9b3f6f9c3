// The game's own CPU time on the screens that wait for the player and while a song plays, in the
// real window or without a display:
//
//   xvfb-run -a build/bench/waiting_cpu
//   SDL_VIDEODRIVER=offscreen build/bench/waiting_cpu
//   SDL_VIDEODRIVER=offscreen build/bench/waiting_cpu --pad   (an SDL virtual pad plugged in)
//
// Without SDL_AUDIODRIVER set it uses SDL's dummy audio device, which asks for buffers at the
// pace of a real one: the music is rendered and its cost counted, on any machine.
//
// Each screen runs on the main thread exactly as the game runs it; a driver thread reads the
// process's CPU time (getrusage: every thread, the audio callback's included) over one-second
// windows and then sends the events that leave the screen. It prints, per screen, the median and
// the largest share of one core.
//
// To add a screen, add one entry to Scenes(): how the game enters it (a call that blocks while the
// screen runs) and, on the driver thread, what is measured and which events end it.
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
#include "core/helpers.hpp"
#include "course/song_select.hpp"
#include "frontend/config_file.hpp"
#include "frontend/dispatch.hpp"
#include "frontend/menu_routes.hpp"
#include "frontend/startup.hpp"
#include "frontend/title.hpp"
#include "netrank/netrank_display.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_song.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    auto s = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return s(ru.ru_utime) + s(ru.ru_stime);
}

void Sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// The driver thread's side of a screen: measures, and sends the player's events.
class Driver {
  public:
    // Waits `settle` seconds, then reads the CPU time over `seconds` one-second windows.
    void Measure(const std::string& screen, double settle, int seconds) {
        Sleep(settle);
        order_.push_back(screen);
        for (int i = 0; i < seconds; ++i) {
            const double cpu = CpuSeconds();
            const auto t = Clock::now();
            Sleep(1.0);
            const double wall = std::chrono::duration<double>(Clock::now() - t).count();
            if (sceneOver) cut_[screen] = true;
            samples_[screen].push_back(100.0 * (CpuSeconds() - cpu) / wall);
        }
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

    void Report(const char* driver) const {
        std::printf("CPU time of the game, %% of one core (video driver %s)\n", driver);
        std::printf("%-16s %8s %8s\n", "screen", "median", "max");
        for (const std::string& screen : order_) {
            std::vector<double> v = samples_.at(screen);
            std::sort(v.begin(), v.end());
            const double median =
                v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
            std::printf("%-16s %8.1f %8.1f%s\n", screen.c_str(), median, v.back(),
                        cut_.count(screen) ? "  (the screen ended during the measurement)" : "");
        }
    }

    std::atomic<bool> sceneOver{false};

  private:
    std::vector<std::string> order_;
    std::map<std::string, std::vector<double>> samples_;
    std::map<std::string, bool> cut_;
};

struct Scene {
    std::function<void(zb::Game&)> enter;  // main thread: blocks while the screen runs
    std::function<void(Driver&)> drive;    // driver thread: measures and leaves the screen
};

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
        // The title waits between events as app/main.cpp does.
        {[](zb::Game& g) { zb::TitleHyoji(g), zb::WaitMs(g, 8000); },
         [](Driver& d) { d.Measure("title", 1, 6); }},
        {zb::OpenSettingsFromTitle,
         [](Driver& d) {
             d.Measure("settings", 1, 5);
             d.Key(SDL_SCANCODE_RETURN);  // saves and goes back to the title
         }},
        {PlayShortSong,
         [](Driver& d) {
             d.Measure("auto play", 2, 6);
             d.Measure("results wait", 3.5, 4);  // the song ends ten seconds in
         }},
        {[](zb::Game& g) { zb::NetRankDisplay(g, false); },
         [](Driver& d) {
             d.Measure("ranking display", 1, 5);
             d.Click();  // ends the display's wait
         }},
        // The exit question comes last: its OK ends the game.
        {[](zb::Game& g) { zb::SongSelect(g, {0}); },
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
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    const bool withPad = argc > 1 && std::string(argv[1]) == "--pad";
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
    zb::Game game(ports);
    zb::GameEvents events(game);
    real->window.SetEvents(&events);
    zb::StartUp(game);

    Driver driver;
    const std::vector<Scene> scenes = Scenes();
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
    driver.Report(SDL_GetCurrentVideoDriver());
    if (withPad) std::printf("with a virtual pad plugged in\n");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
