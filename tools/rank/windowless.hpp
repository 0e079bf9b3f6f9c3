// The ports zubakko-rank runs the game's ranking code on: no window, the real clock, error boxes
// as lines on standard error. Waits sleep on the real clock, so the lock's times hold between
// processes.
#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "platform/ftp/curl_ftp.hpp"
#include "platform/headless/headless.hpp"
#include "platform/ports.hpp"

namespace zb::rank_tool {

class RealClock : public Clock {
  public:
    double Now() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    int64_t TickMs() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    TimeOfDay LocalTime() override {
        const std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        return {tm.tm_hour, tm.tm_min, tm.tm_sec};
    }
};

// A window nobody sees: a yield has nothing to do, and waits sleep on the clock.
class NoWindow : public Window {
  public:
    MainForm& Form() override { return form_; }
    void SetEvents(FormEvents*) override {}
    void DoEvents() override {}
    void WaitUntil(double clockSeconds) override {
        const double left = clockSeconds - clock_.Now();
        if (left > 0) std::this_thread::sleep_for(std::chrono::duration<double>(left));
    }
    void WaitForEvent(double clockSeconds) override { WaitUntil(clockSeconds); }
    void Present() override {}
    void SetTextInput(bool) override {}
    bool TextInput() const override { return false; }
    TextRenderer& Text() override { return text_; }

  private:
    RealClock clock_;
    MainForm form_;
    NullText text_;
};

// Error boxes become lines on stderr: the number, a space, the text.
class StderrDialogs : public Dialogs {
  public:
    MsgResult MessageBox(const std::string& text, MsgButtons, MsgIcon,
                         const std::string&) override {
        const size_t brk = text.find("\r\n");
        const std::string line =
            brk == std::string::npos ? text : text.substr(0, brk) + " " + text.substr(brk + 2);
        std::fprintf(stderr, "%s\n", line.c_str());
        ++shown;
        return MsgResult::Ok;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override {
        return "";
    }
    int shown = 0;
};

struct WindowlessPlatform {
    explicit WindowlessPlatform(const std::string& dir)
        : ports{clock, keyboard, music, wave, dialogs, window, dir} {
        ports.ftp = NewCurlFtpConnection;
    }
    RealClock clock;
    headless::ScriptedKeyboard keyboard{clock};
    headless::ClockMusicPlayer music{clock};
    headless::RecordingWavePlayer wave;
    StderrDialogs dialogs;
    NoWindow window;
    Platform ports;
};

}  // namespace zb::rank_tool
