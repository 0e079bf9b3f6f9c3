#include "smf_writer.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace musicgen {

namespace {

void PutBE(std::string& s, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) s += char((v >> (8 * i)) & 0xFF);
}

void PutVarLen(std::string& s, uint32_t v) {
    std::string tmp(1, char(v & 0x7F));
    while (v >>= 7) tmp.insert(tmp.begin(), char((v & 0x7F) | 0x80));
    s += tmp;
}

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s += char(uint8_t(v));
    return s;
}

// Time drift that forces a new tempo event (seconds). MIDI players restart their tick clock at
// every tempo event and lose a fraction of a tick each time, in the same direction, so a map
// that corrected every microsecond would drift by many milliseconds: correct seldom instead.
constexpr double kMaxDrift = 0.4e-3;

}  // namespace

void SmfTrack::Note(int64_t tick, int64_t length, int channel, int key, int velocity) {
    key = std::clamp(key, 0, 127);
    velocity = std::clamp(velocity, 1, 127);
    events_.push_back({tick, 3, Bytes({0x90 | channel, key, velocity})});
    events_.push_back({tick + std::max<int64_t>(length, 1), 1, Bytes({0x80 | channel, key, 0})});
}

void SmfTrack::Program(int64_t tick, int channel, int program) {
    events_.push_back({tick, 2, Bytes({0xC0 | channel, program})});
}

void SmfTrack::Control(int64_t tick, int channel, int controller, int value) {
    events_.push_back({tick, 2, Bytes({0xB0 | channel, controller, std::clamp(value, 0, 127)})});
}

void SmfTrack::Tempo(int64_t tick, uint32_t microsPerQuarter) {
    std::string b = Bytes({0xFF, 0x51, 0x03});
    PutBE(b, microsPerQuarter, 3);
    events_.push_back({tick, 0, b});
}

void SmfTrack::TimeSignature(int64_t tick, int numerator, int denominatorPower) {
    events_.push_back({tick, 0, Bytes({0xFF, 0x58, 0x04, numerator, denominatorPower, 24, 8})});
}

std::string SmfTrack::Chunk(int64_t endTick) const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::string body;
    PutVarLen(body, 0);
    body += Bytes({0xFF, 0x03, int(name_.size())}) + name_;
    int64_t last = 0;
    for (const Event& e : sorted) {
        PutVarLen(body, uint32_t(e.tick - last));
        last = e.tick;
        body += e.bytes;
    }
    PutVarLen(body, uint32_t(std::max<int64_t>(endTick - last, 0)));
    body += Bytes({0xFF, 0x2F, 0x00});
    std::string chunk = "MTrk";
    PutBE(chunk, uint32_t(body.size()), 4);
    return chunk + body;
}

void TempoMap::Anchor(int64_t tick, double seconds) {
    if (!anchors_.empty()) {
        if (tick < anchors_.back().first || seconds < anchors_.back().second)
            throw std::logic_error("tempo anchors out of order");
        if (tick == anchors_.back().first) return;
    }
    anchors_.emplace_back(tick, seconds);
    built_ = false;
}

void TempoMap::Build() const {
    if (built_) return;
    changes_.clear();
    if (anchors_.size() < 2 || anchors_[0].first != 0)
        throw std::logic_error("tempo map needs anchors from tick 0");
    auto timeAt = [&](int64_t tick) {
        const Change& c = changes_.back();
        return c.at + double(tick - c.tick) * c.tempo * 1e-6 / ppq_;
    };
    const double origin = anchors_[0].second;
    auto ideal = [&](size_t i) {  // seconds per tick between anchors i and i + 1
        return (anchors_[i + 1].second - anchors_[i].second) /
               double(anchors_[i + 1].first - anchors_[i].first);
    };
    for (size_t i = 0; i + 1 < anchors_.size(); ++i) {
        const auto [k0, t0] = anchors_[i];
        const auto [k1, t1] = anchors_[i + 1];
        if (!changes_.empty() && std::abs(timeAt(k1) - t1) <= kMaxDrift) continue;
        // A new tempo for the whole run of anchors that share this pace, reaching the run's
        // end exactly: correcting over one interval alone would overshoot and swing.
        size_t j = i + 1;
        while (j + 1 < anchors_.size() && std::abs(ideal(j) / ideal(i) - 1) < 1e-6) ++j;
        const double now = changes_.empty() ? origin : timeAt(k0);
        const double micros =
            (anchors_[j].second - now) * 1e6 * ppq_ / double(anchors_[j].first - k0);
        const uint32_t tempo = uint32_t(std::clamp<long>(std::lround(micros), 1, 0xFFFFFF));
        changes_.push_back({k0, tempo, now});
        (void)t0;
    }
    built_ = true;
}

void TempoMap::WriteTo(SmfTrack& track) const {
    Build();
    for (const Change& c : changes_) track.Tempo(c.tick, c.tempo);
}

double TempoMap::TimeOf(int64_t tick) const {
    Build();
    auto it = std::upper_bound(changes_.begin(), changes_.end(), tick,
                               [](int64_t t, const Change& c) { return t < c.tick; });
    if (it == changes_.begin()) return anchors_[0].second;
    --it;
    return it->at + double(tick - it->tick) * it->tempo * 1e-6 / ppq_;
}

std::string SmfBytes(int ppq, const std::vector<SmfTrack>& tracks, int64_t endTick) {
    std::string file = "MThd";
    PutBE(file, 6, 4);
    PutBE(file, 1, 2);
    PutBE(file, uint32_t(tracks.size()), 2);
    PutBE(file, uint32_t(ppq), 2);
    for (const SmfTrack& t : tracks) file += t.Chunk(endTick);
    return file;
}

}  // namespace musicgen
