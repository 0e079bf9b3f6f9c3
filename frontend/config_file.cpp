#include "frontend/config_file.hpp"

#include "core/file_replace.hpp"

namespace zb {

namespace {

std::string ConfigPath(const Game& game) {
    return game.SaveDir() + "config.dat";
}

void Put16(std::string& out, int field, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    out[size_t(field * 2)] = char(u & 0xFF);
    out[size_t(field * 2 + 1)] = char(u >> 8);
}

int16_t Get16(const std::string& bytes, int field) {
    uint16_t u = 0;
    for (int b = 0; b < 2; ++b) {
        const size_t at = size_t(field * 2 + b);
        if (at < bytes.size()) u |= uint16_t(uint8_t(bytes[at]) << (8 * b));
    }
    return static_cast<int16_t>(u);
}

}  // namespace

std::string EncodeConfig(const Settings& s) {
    std::string out(kConfigFileSize, '\0');
    for (int k = 0; k < 4; ++k) Put16(out, k, s.KeyCodes[size_t(k)]);
    Put16(out, 4, s.DelaySetting);
    Put16(out, 5, s.FramePosition);
    Put16(out, 6, s.BgmVolume);
    Put16(out, 7, s.JudgeEffect ? 0 : 1);
    Put16(out, 8, s.BigNoteWait ? 0 : 1);
    Put16(out, 9, 0);
    return out;
}

void DecodeConfig(const std::string& bytes, Settings& s) {
    if (Get16(bytes, 0) == 0 && Get16(bytes, 1) == 0) return;
    for (int k = 0; k < 4; ++k) s.KeyCodes[size_t(k)] = Get16(bytes, k);
    s.DelaySetting = Get16(bytes, 4);
    s.FramePosition = Get16(bytes, 5);
    s.BgmVolume = Get16(bytes, 6);
    s.JudgeEffect = Get16(bytes, 7) == 0;
    s.BigNoteWait = Get16(bytes, 8) == 0;
}

void SaveConfig(Game& game) {
    SaveDataFile(ConfigPath(game), EncodeConfig(game.settings), "the settings stay in effect");
}

bool LoadConfig(Game& game) {
    std::string bytes;
    if (!ReadDataFile(ConfigPath(game), bytes, kConfigFileSize)) return false;
    DecodeConfig(bytes, game.settings);
    return true;
}

}  // namespace zb
