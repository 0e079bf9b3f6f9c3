#include "frontend/kit_file.hpp"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/failure_report.hpp"
#include "core/file_replace.hpp"
#include "core/kit_map.hpp"

namespace zb {

namespace {

constexpr const char* kHeader = "zubakko-kits 1";
constexpr size_t kLimit = 1 << 20;

std::string KitPath(const Game& game) {
    return game.SaveDir() + "kits.txt";
}

bool ReadNumber(std::istringstream& words, int lo, int hi, int& out) {
    std::string w;
    if (!(words >> w)) return false;
    try {
        size_t used = 0;
        out = std::stoi(w, &used);
        return used == w.size() && out >= lo && out <= hi;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::string EncodeKitBindings(const Settings& s) {
    std::string out = std::string(kHeader) +
                      "\n# kit <name>, then big <velocity>, shown <note for 左足 右足 左手 右手>, "
                      "note <note> <strike 0-3>,\n# floor <note> <velocity>, retrigger <note> "
                      "<ms>, crosstalk <ms> <share of the louder stroke>\n";
    for (const auto& [name, b] : s.KitBindings) {
        out += "kit " + name + "\nbig " + std::to_string(b.bigVelocity) + "\nshown";
        for (int16_t n : b.shown) out += " " + std::to_string(n);
        out += "\n";
        for (size_t n = 0; n < b.strikes.size(); ++n)
            if (b.strikes[n] >= 0)
                out += "note " + std::to_string(n) + " " + std::to_string(b.strikes[n]) + "\n";
        // Only what differs from the defaults.
        const kit::Hygiene& h = b.hygiene;
        const kit::Hygiene plain;
        for (size_t n = 0; n < h.floor.size(); ++n) {
            if (h.floor[n] != plain.floor[n])
                out += "floor " + std::to_string(n) + " " + std::to_string(h.floor[n]) + "\n";
            if (h.retriggerMs[n] != plain.retriggerMs[n])
                out += "retrigger " + std::to_string(n) + " " + std::to_string(h.retriggerMs[n]) +
                       "\n";
        }
        if (h.crosstalkMs != plain.crosstalkMs || h.crosstalkPercent != plain.crosstalkPercent)
            out += "crosstalk " + std::to_string(h.crosstalkMs) + " " +
                   CrosstalkRatioText(h.crosstalkPercent) + "\n";
    }
    return out;
}

bool DecodeKitBindings(const std::string& text, Settings& s, std::string* why) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || (line != kHeader && line != std::string(kHeader) + "\r")) {
        if (why) *why = "not a kit bindings file of this version";
        return false;
    }
    std::string name;
    KitBinding b;
    const auto keep = [&] {
        if (!name.empty()) s.KitBindings[name] = b;
    };
    const auto skip = [&](int n) {
        if (why) *why += (why->empty() ? "" : "; ") + ("line " + std::to_string(n) + " skipped");
    };
    for (int n = 2; std::getline(in, line); ++n) {
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("kit ", 0) == 0) {
            keep();
            name = line.substr(4);
            b = KitBinding{};
            b.strikes.fill(-1);
            continue;
        }
        std::istringstream words(line);
        std::string word, extra;
        words >> word;
        // A line is read whole before it counts: a skipped one changes nothing.
        KitBinding read = b;
        bool ok = !name.empty();
        if (ok && word == "big") {
            int v = 0;
            ok = ReadNumber(words, 1, 128, v);
            read.bigVelocity = int16_t(v);
        } else if (ok && word == "shown") {
            for (int16_t& shown : read.shown) {
                int v = 0;
                ok = ok && ReadNumber(words, -1, 127, v);
                shown = int16_t(v);
            }
        } else if (ok && word == "note") {
            int note = 0, strike = 0;
            ok = ReadNumber(words, 0, 127, note) && ReadNumber(words, -1, 3, strike);
            if (ok) read.strikes[size_t(note)] = int8_t(strike);
        } else if (ok && (word == "floor" || word == "retrigger")) {
            const bool floor = word == "floor";
            int note = 0, v = 0;
            ok = ReadNumber(words, 0, 127, note) &&
                 ReadNumber(words, 0, floor ? 127 : kit::kMaxWindowMs, v);
            if (ok)
                (floor ? read.hygiene.floor : read.hygiene.retriggerMs)[size_t(note)] = uint8_t(v);
        } else if (ok && word == "crosstalk") {
            int ms = 0, percent = 0;
            std::string share;
            ok = ReadNumber(words, 0, kit::kMaxWindowMs, ms) && (words >> share) &&
                 ReadCrosstalkRatio(share, percent);
            read.hygiene.crosstalkMs = uint8_t(ms);
            read.hygiene.crosstalkPercent = uint8_t(percent);
        } else {
            ok = false;
        }
        if (!ok || (words >> extra))
            skip(n);
        else
            b = read;
    }
    keep();
    return true;
}

void SaveKitBindings(Game& game) {
    if (game.settings.KitBindings.empty()) return;  // nothing bound: no file needed
    SaveDataFile(KitPath(game), EncodeKitBindings(game.settings),
                 "the kit bindings stay in effect");
}

void LoadKitBindings(Game& game) {
    std::error_code ec;
    if (!std::filesystem::exists(KitPath(game), ec)) return;  // no kit bound yet
    std::string text, why;
    if (!ReadDataFile(KitPath(game), text, kLimit)) return;
    if (!DecodeKitBindings(text, game.settings, &why) || !why.empty())
        ReportFailure(KitPath(game) + ": " + why);
}

}  // namespace zb
