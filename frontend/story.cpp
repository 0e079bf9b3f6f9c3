#include "frontend/story.hpp"

namespace zb {

namespace {

// A beginning (lines 1-6), a turn (7-14) and an end (15-19), one line per phrase of the music,
// each short enough for one row of the story label.
constexpr const char* kStory[kStoryLineCount] = {
    "山の町に、柴犬がいた。",   "なにをしても一拍おそい。", "あだ名は「鈍感」だった。",
    "でも太鼓が大好きだった。", "いつも耳をすませていた。", "ひびく音、はじける音。",
    "ある夏の祭りの日のこと。", "太鼓打ちが腕をいためた。", "太鼓なしでは始まらない。",
    "柴犬は、バチをにぎった。", "足で大太鼓、ドン！",       "手でふちを打つ、カン！",
    "ドンとカン。鈍と感。",     "あだ名が、音になった。",   "おそいぶん、よく聞ける。",
    "ひよこも子猫も走りだす。", "提灯の下、祭りが始まる。", "鈍は足で、感は手で。",
    "さあ、きみもいっしょに！",
};

// The start of line k in single precision, as the music position is sampled.
float LineStart(int k) {
    return static_cast<float>(428 * k / 100.0);
}

}  // namespace

const char* StoryLine(int k) {
    return k >= 1 && k <= kStoryLineCount ? kStory[k - 1] : "";
}

int StoryLineAt(float t) {
    if (t >= 0 && t <= LineStart(1)) return 0;
    for (int k = 1; k <= kStoryLineCount; ++k)
        if (t >= LineStart(k) && t <= LineStart(k + 1)) return k;
    return -1;
}

}  // namespace zb
