#include "platform/audio/hit_mixer.hpp"

#include <algorithm>

namespace zb::audio {

bool HitMixer::Start(const WaveData* sound, int64_t frame, int voice) {
    if (!sound || sound->Frames() == 0 || voice < 0 || voice >= kVoices) return true;
    Voice& v = voices_[size_t(voice)];
    if (v.waitingCount == v.waiting.size()) return false;
    // Kept in the order of their frames; a stamp earlier than one already asked for (two
    // devices' strokes crossing) still starts at its own frame.
    size_t at = v.waitingCount;
    while (at > 0 && v.waiting[at - 1].frame > frame) {
        v.waiting[at] = v.waiting[at - 1];
        --at;
    }
    v.waiting[at] = {sound, frame};
    ++v.waitingCount;
    return true;
}

void HitMixer::Add(Playing& p, float* out, int frames) {
    if (!p.data || frames <= 0) return;
    const float* src = p.data->samples.data();
    const size_t total = p.data->Frames();
    int n = int(std::min<size_t>(size_t(frames), total - p.pos));
    if (p.fadeLeft >= 0) n = std::min(n, p.fadeLeft);
    for (int i = 0; i < n; ++i) {
        const float g = p.fadeLeft >= 0 ? float(p.fadeLeft - i) / float(kCutFadeFrames) : 1.0f;
        out[2 * i] += src[2 * (p.pos + size_t(i))] * g;
        out[2 * i + 1] += src[2 * (p.pos + size_t(i)) + 1] * g;
    }
    p.pos += size_t(n);
    if (p.fadeLeft >= 0) p.fadeLeft -= n;
    if (p.pos >= total || p.fadeLeft == 0) p = Playing{};
}

int HitMixer::Mix(float* out, int frames, int64_t first) {
    int latest = -1;
    for (Voice& v : voices_) {
        int pos = 0;
        size_t taken = 0;
        for (;;) {
            // The next sound of this voice that starts within the buffer, and where.
            int start = frames;
            if (taken < v.waitingCount && v.waiting[taken].frame < first + frames)
                start = std::max(pos, int(std::max<int64_t>(0, v.waiting[taken].frame - first)));
            Add(v.fading, out + 2 * pos, start - pos);
            Add(v.sound, out + 2 * pos, start - pos);
            if (start == frames) break;
            if (v.sound.data) {
                v.fading = v.sound;
                v.fading.fadeLeft = kCutFadeFrames;
            }
            v.sound = Playing{v.waiting[taken].data, 0, -1};
            ++taken;
            pos = start;
            latest = std::max(latest, start);
        }
        std::copy(v.waiting.begin() + long(taken), v.waiting.begin() + long(v.waitingCount),
                  v.waiting.begin());
        v.waitingCount -= taken;
    }
    return latest;
}

bool HitMixer::Idle() const {
    return std::all_of(voices_.begin(), voices_.end(), [](const Voice& v) {
        return !v.sound.data && !v.fading.data && v.waitingCount == 0;
    });
}

}  // namespace zb::audio
