// The story told over the story music: how the shiba drummer came to drum 鈍 and 感.
#pragma once

namespace zb {

inline constexpr int kStoryLineCount = 19;

// Line k of the story (k = 1..19), one caption each.
const char* StoryLine(int k);

// The line the story shows at music position t (seconds): 0 for the empty caption of the first
// 4.28 s, k for line k, or -1 where no line holds (before 0 and after the last line) and the
// caption keeps its text. The limits are multiples of 4.28 in single precision, both ends
// included, and the first interval that holds wins, so t = 4.28 exactly is still empty.
int StoryLineAt(float t);

}  // namespace zb
