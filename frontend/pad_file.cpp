#include "frontend/pad_file.hpp"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/failure_report.hpp"
#include "core/file_replace.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {

constexpr const char* kHeader = "zubakko-pads 1";
constexpr size_t kLimit = 1 << 20;

std::string PadPath(const Game& game) {
    return game.SaveDir() + "pads.txt";
}

bool IsGuid(const std::string& s) {
    if (s.size() != 32) return false;
    for (char c : s)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

std::string EncodePadBindings(const Settings& s) {
    std::string out = std::string(kHeader) + "\n# GUID 左足 右足 左手 右手\n";
    for (const auto& [guid, inputs] : s.PadInputs) {
        out += guid;
        for (int16_t in : inputs) {
            const std::string name = pad::InputName(in);
            out += " " + (name.empty() ? std::string("-") : name);
        }
        out += "\n";
    }
    return out;
}

bool DecodePadBindings(const std::string& text, Settings& s, std::string* why) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || (line != kHeader && line != std::string(kHeader) + "\r")) {
        if (why) *why = "not a pad bindings file of this version";
        return false;
    }
    for (int n = 2; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string guid;
        if (!(words >> guid) || guid[0] == '#') continue;
        PadStrikeInputs inputs{};
        bool ok = IsGuid(guid);
        for (int16_t& input : inputs) {
            std::string name;
            if (!(words >> name)) ok = false;
            const auto found = pad::InputFromName(name);
            if (name != "-" && !found) ok = false;
            input = int16_t(found.value_or(-1));
        }
        std::string extra;
        if (!ok || (words >> extra)) {
            if (why)
                *why += (why->empty() ? "" : "; ") + ("line " + std::to_string(n) + " skipped");
            continue;
        }
        s.PadInputs[guid] = inputs;
    }
    return true;
}

void SavePadBindings(Game& game) {
    if (game.settings.PadInputs.empty()) return;  // nothing bound: no file needed
    SaveDataFile(PadPath(game), EncodePadBindings(game.settings),
                 "the pad bindings stay in effect");
}

void LoadPadBindings(Game& game) {
    std::error_code ec;
    if (!std::filesystem::exists(PadPath(game), ec)) return;  // no pad bound yet
    std::string text, why;
    if (!ReadDataFile(PadPath(game), text, kLimit)) return;
    if (!DecodePadBindings(text, game.settings, &why) || !why.empty())
        ReportFailure(PadPath(game) + ": " + why);
}

}  // namespace zb
