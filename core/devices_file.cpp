#include "core/devices_file.hpp"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "core/failure_report.hpp"
#include "core/file_replace.hpp"
#include "platform/kit_inputs.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {

constexpr const char* kFileName = "devices.txt";
constexpr size_t kLimit = 1 << 20;

// A name as one field of a line: tabs and line ends become spaces, and the ends are trimmed.
std::string Field(std::string s) {
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    const size_t first = s.find_first_not_of(' '), last = s.find_last_not_of(' ');
    return first == std::string::npos ? "" : s.substr(first, last - first + 1);
}

std::optional<int> Offset(const std::string& text) {
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data() + (text.starts_with('+') ? 1 : 0), end, v);
    if (ec != std::errc() || p != end || text.empty()) return std::nullopt;
    if (v < -kDeviceOffsetLimit || v > kDeviceOffsetLimit) return std::nullopt;
    return v;
}

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> parts;
    std::istringstream in(line);
    for (std::string part; std::getline(in, part, sep);) parts.push_back(part);
    return parts;
}

}  // namespace

std::string KeyboardDevice() {
    return "keyboard";
}

std::string PadDevice(const PadInfo& pad) {
    return Field("pad " + Field(pad.guid) + " " + Field(pad.name));
}

std::string KitDevice(const KitInfo& kit) {
    return Field("kit " + Field(kit.name));
}

std::string DeviceLabel(const std::string& device) {
    if (device.starts_with("kit ")) return "キット " + device.substr(4);
    if (device.starts_with("pad ")) {
        const size_t name = device.find(' ', 4);  // after the GUID
        return "パッド" + (name == std::string::npos ? "" : " " + device.substr(name + 1));
    }
    return "キーボード";
}

std::string DeviceOfInput(Keyboard& keyboard, int code) {
    if (pad::IsPadCode(code))
        for (const PadInfo& p : keyboard.Pads())
            if (p.slot == pad::SlotOf(code)) return PadDevice(p);
    if (kit::IsKitCode(code))
        for (const KitInfo& k : keyboard.Kits())
            if (k.slot == kit::SlotOf(code)) return KitDevice(k);
    return KeyboardDevice();
}

std::string EncodeDevices(const DeviceOptions& d) {
    std::string s = "# ズバッコミュージック: choices per input device\n";
    s += "version " + std::to_string(kDevicesVersion) + "\n";
    std::map<std::string, std::vector<std::string>> lines = d.otherChoices;
    for (const std::string& device : d.silent)
        lines[device].insert(lines[device].begin(), "hit_sound off");
    for (const auto& [device, ms] : d.offsetMs)
        lines[device].insert(lines[device].begin(), "offset " + std::to_string(ms));
    for (const auto& [device, choices] : lines) {
        s += device;
        for (const std::string& c : choices) s += "\t" + c;
        s += "\n";
    }
    return s;
}

void DecodeDevices(const std::string& text, DeviceOptions& d, std::string* why) {
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#' || line.starts_with("version ")) continue;
        const std::vector<std::string> parts = Split(line, '\t');
        const std::string device = Field(parts[0]);
        std::optional<int> offset;
        std::optional<bool> sounds;
        std::vector<std::string> other;
        // A name that would read back as a comment or the version line is no device's.
        bool good = !device.empty() && device[0] != '#' && !device.starts_with("version ") &&
                    parts.size() >= 2;
        for (size_t i = 1; good && i < parts.size(); ++i) {
            const std::string choice = Field(parts[i]);
            if (choice.starts_with("offset ")) {
                offset = Offset(choice.substr(7));
                good = offset.has_value();
            } else if (choice.starts_with("hit_sound ")) {
                const std::string v = Field(choice.substr(10));
                good = v == "on" || v == "off";
                sounds = v == "on";
            } else if (!choice.empty()) {  // an empty field (two tabs) holds none
                other.push_back(choice);
            }
        }
        if (!good) {
            if (why)
                *why += (why->empty() ? "" : "; ") + ("line " + std::to_string(n) + " skipped");
            continue;
        }
        if (offset) d.offsetMs[device] = *offset;
        if (sounds) {
            if (*sounds)
                d.silent.erase(device);
            else
                d.silent.insert(device);
        }
        if (!other.empty()) d.otherChoices[device] = other;
    }
    ++d.changes;
}

DeviceOptions ReadOffsetLines(const std::string& text) {
    DeviceOptions d;
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        line = Field(line);
        if (line.empty() || line[0] == '#') continue;
        const size_t space = line.find_last_of(' ');
        const std::optional<int> ms =
            space == std::string::npos ? std::nullopt : Offset(line.substr(space + 1));
        if (!ms)
            throw std::runtime_error("line " + std::to_string(n) +
                                     ": not \"<device> <ms>\" with ms from -50 to 50");
        d.SetOffset(Field(line.substr(0, space)), *ms);
    }
    return d;
}

void LoadDevices(Game& game) {
    const std::string path = game.SaveDir() + kFileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    std::string text, why;
    if (ReadDataFile(path, text, kLimit)) DecodeDevices(text, game.devices, &why);
    if (!why.empty()) ReportFailure(path + ": " + why);
}

void SaveDevices(Game& game) {
    SaveDataFile(game.SaveDir() + kFileName, EncodeDevices(game.devices),
                 "the device choices stay in effect until the program ends");
}

}  // namespace zb
