#include "core/songs.hpp"

#include <array>
#include <stdexcept>

namespace zb {
namespace {

struct SongRow {
    const char* title;
    const char* shortName;
    const char* musicFile;
    std::array<int16_t, 4> levels;  // 0: no chart
    int16_t partEndTime, chartSpan, chartOffset;
    int chartLength;
    int measureLength;
};

// Songs 5 and 6 keep their timing in the part table below.
constexpr std::array<SongRow, kSongCount> kSongs{{
    {"ＦＦ４バトル２", "ＦＦ４", "sound/eff4_13.mid", {4, 5, 9, 0}, 15700, 14514, 0, 1664, 16},
    {"決戦　パート２", "決戦２", "sound/kessen_2.mid", {2, 6, 10, 0}, 8500, 8418, -10, 785, 16},
    {"サドンデス", "サドン", "sound/sudden_death.mid", {3, 7, 9, 0}, 17700, 17684, -120, 1792, 16},
    {"Opening to the 2001",
     "2001",
     "sound/opening_to_the_2001.mid",
     {3, 6, 9, 0},
     10899,
     10230,
     -2670,
     1105,
     16},
    {"ラクダに揺られて", "ラクダ", "sound/rakuda.mid", {1, 3, 8, 0}, 6900, 6840, -10, 456, 12},
    {"威風堂々", "威風", "sound/dodo.mid", {2, 5, 8, 0}, 0, 0, 0, 0, 16},
    {"黄昏の街", "黄昏", "sound/tasomati.mid", {1, 3, 8, 0}, 0, 0, 0, 0, 16},
    {"雲の上から", "雲の上", "sound/kumoue.mid", {2, 4, 8, 0}, 16115, 16115, 0, 1504, 16},
    {"バイクレース０１", "バイク", "sound/bike.mid", {3, 7, 10, 11}, 18410, 18410, 0, 2209, 24},
    {"トルコ行進曲", "トルコ", "sound/toruko.mid", {2, 6, 10, 0}, 12690, 12640, -160, 1264, 16},
}};

struct PartRow {
    int16_t start, partEndTime, chartSpan;
    int chartLength;
    std::array<JudgeWindows, 3> windows;  // by difficulty
    std::array<int16_t, 3> chartOffset;   // by difficulty
    std::array<int16_t, 3> notes;         // by difficulty
};

// [song 5 or 6][part]
constexpr std::array<std::array<PartRow, 3>, 2> kParts{{
    {{
        {0,
         6500,
         6500,
         520,
         {{{13, 26, 39}, {13, 26, 39}, {12, 24, 36}}},
         {0, 0, 0},
         {109, 314, 351}},
        {6500,
         5350,
         5330,
         320,
         {{{13, 26, 39}, {10, 20, 30}, {9, 18, 27}}},
         {0, 0, 0},
         {50, 83, 121}},
        {11830,
         1550,
         1400,
         112,
         {{{13, 26, 39}, {13, 26, 39}, {12, 24, 36}}},
         {0, 0, 0},
         {27, 55, 60}},
    }},
    {{
        {0,
         6940,
         6840,
         693,
         {{{9, 18, 27}, {13, 27, 39}, {13, 27, 39}}},
         {0, 0, 0},
         {57, 133, 327}},
        {6840,
         1850,
         1850,
         102,
         {{{7, 14, 21}, {10, 20, 30}, {10, 20, 30}}},
         {0, 0, 0},
         {5, 14, 19}},
        {8790,
         2850,
         2850,
         288,
         {{{9, 18, 27}, {13, 26, 39}, {13, 26, 39}}},
         {-190, -380, -380},
         {37, 66, 177}},
    }},
}};

// [song][difficulty]; level, notes, gauge best/good/loss/unit, combo step, windows, spacing.
// Difficulty 3 exists for song 8 only; the other rows of column 3 are unused.
constexpr ChartConstants kNone{0, 0, 0, 0, 0, 0, 0, kDefaultJudgeWindows, 40};
constexpr std::array<std::array<ChartConstants, 4>, kSongCount> kCharts{{
    {{{4, 393, 10, 7, -5, 75, 100, {13, 26, 39}, 40},
      {5, 534, 10, 6, -10, 130, 90, {13, 26, 39}, 40},
      {9, 784, 10, 6, -10, 160, 70, {14, 28, 42}, 40},
      kNone}},
    {{{2, 170, 10, 7, -5, 30, 120, {13, 26, 39}, 40},
      {6, 502, 10, 7, -10, 110, 60, {13, 26, 39}, 40},
      {10, 585, 10, 7, -10, 130, 30, {13, 26, 39}, 40},
      kNone}},
    {{{3, 506, 10, 7, -7, 110, 30, {13, 26, 39}, 40},
      {7, 934, 10, 7, -10, 230, 30, {13, 26, 39}, 40},
      {9, 1048, 10, 7, -15, 230, 70, {13, 26, 39}, 40},
      kNone}},
    {{{3, 212, 10, 7, -10, 43, 30, {13, 26, 39}, 40},
      {6, 460, 10, 7, -10, 95, 100, {13, 26, 39}, 40},
      {9, 684, 10, 7, -10, 150, 120, {16, 32, 48}, 40},
      kNone}},
    {{{1, 104, 15, 9, -8, 28, 100, {13, 26, 39}, 40},
      {3, 217, 10, 7, -5, 40, 140, {13, 26, 39}, 40},
      {8, 310, 10, 7, -9, 70, 300, {11, 22, 33}, 40},
      kNone}},
    {{{2, 186, 10, 7, -10, 36, 50, kDefaultJudgeWindows, 40},
      {5, 452, 10, 7, -10, 100, 70, kDefaultJudgeWindows, 40},
      {8, 532, 10, 7, -10, 120, 70, kDefaultJudgeWindows, 40},
      kNone}},
    {{{1, 99, 10, 7, -10, 18, 120, kDefaultJudgeWindows, 20},
      {3, 213, 10, 7, -10, 42, 160, kDefaultJudgeWindows, 40},
      {8, 523, 10, 7, -10, 120, 70, kDefaultJudgeWindows, 40},
      kNone}},
    {{{2, 216, 10, 7, -9, 43, 60, {13, 26, 39}, 40},
      {4, 580, 10, 7, -9, 122, 40, {13, 26, 39}, 40},
      {8, 798, 10, 7, -9, 180, 60, {16, 32, 48}, 40},
      kNone}},
    {{{3, 498, 10, 7, -10, 100, 35, {9, 15, 20}, 20},
      {7, 946, 10, 7, -15, 190, 50, {17, 34, 51}, 40},
      {10, 1242, 10, 7, -15, 248, 14, {19, 38, 57}, 40},
      {11, 1342, 10, 6, -25, 280, 15, {20, 40, 60}, 40}}},
    {{{2, 172, 10, 6, -15, 34, 120, {14, 28, 42}, 40},
      {6, 584, 10, 6, -15, 118, 30, {14, 28, 42}, 40},
      {10, 919, 10, 6, -15, 181, 13, {14, 28, 42}, 40},
      kNone}},
}};

const SongRow& Song(int song) {
    if (song < 0 || song >= kSongCount) throw std::out_of_range("no such song");
    return kSongs[song];
}

const PartRow& Part(int song, int part) {
    if (!IsMultiPartSong(song)) throw std::out_of_range("not a three-part song");
    if (part < 0 || part >= kMultiPartCount) throw std::out_of_range("no such part");
    return kParts[song - 5][part];
}

void CheckSinglePart(int song, int part) {
    if (part != 0) throw std::out_of_range("a single-part song has only part 0");
    Song(song);
}

}  // namespace

const char* SongTitle(int song) {
    return Song(song).title;
}
const char* SongShortName(int song) {
    return Song(song).shortName;
}
const char* SongCourseLineName(int song) {
    switch (song) {
        case 1:
            return "決戦パート２";
        case 3:
            return "Opng to the 2001";
        default:
            return SongTitle(song);
    }
}
std::string SongMusicFile(int song) {
    return Song(song).musicFile;
}

int16_t SongLevelOf(ChartId chart) {
    const int song = chart.song, difficulty = chart.difficulty;
    if (song < 0 || song >= kSongCount || difficulty < 0 || difficulty >= kDifficultyCount)
        return 0;
    return Song(song).levels[difficulty];
}

bool HasChart(ChartId chart) {
    return SongLevelOf(chart) != 0;
}

const ChartConstants& ChartConstantsOf(ChartId chart) {
    if (!HasChart(chart)) throw std::out_of_range("no such chart");
    return kCharts[chart.song][chart.difficulty];
}

bool IsMultiPartSong(int song) {
    return song == 5 || song == 6;
}
int PartCount(int song) {
    return IsMultiPartSong(song) ? kMultiPartCount : 1;
}
double MusicVolumeScaleOf(int song) {
    Song(song);
    return song == 8 ? 1.5 : 1.0;  // the louder bike music plays more quietly
}
int MeasureLength(int song) {
    return Song(song).measureLength;
}

int16_t PartStartTime(int song, int part) {
    if (IsMultiPartSong(song)) return Part(song, part).start;
    CheckSinglePart(song, part);
    return 0;
}

int16_t PartEndTimeOf(int song, int part) {
    if (IsMultiPartSong(song)) return Part(song, part).partEndTime;
    CheckSinglePart(song, part);
    return Song(song).partEndTime;
}

int16_t ChartSpanOf(int song, int part) {
    if (IsMultiPartSong(song)) return Part(song, part).chartSpan;
    CheckSinglePart(song, part);
    return Song(song).chartSpan;
}

int ChartLengthOf(int song, int part) {
    if (IsMultiPartSong(song)) return Part(song, part).chartLength;
    CheckSinglePart(song, part);
    return Song(song).chartLength;
}

int16_t ChartOffsetOf(ChartId chart, int part) {
    ChartConstantsOf(chart);
    const int song = chart.song;
    if (IsMultiPartSong(song)) return Part(song, part).chartOffset[chart.difficulty];
    CheckSinglePart(song, part);
    return Song(song).chartOffset;
}

JudgeWindows JudgeWindowsOf(ChartId chart, int part) {
    const ChartConstants& c = ChartConstantsOf(chart);
    const int song = chart.song;
    if (IsMultiPartSong(song)) return Part(song, part).windows[chart.difficulty];
    CheckSinglePart(song, part);
    return c.windows;
}

int16_t PartNoteCount(ChartId chart, int part) {
    const ChartConstants& c = ChartConstantsOf(chart);
    const int song = chart.song;
    if (IsMultiPartSong(song)) return Part(song, part).notes[chart.difficulty];
    CheckSinglePart(song, part);
    return c.Notes;
}

int16_t SongNoteTotal(ChartId chart) {
    return ChartConstantsOf(chart).Notes;
}

int16_t PartLoadTime(int song, int part) {
    if (!IsMultiPartSong(song) || part == 0) {
        PartStartTime(song, part);
        return 0;
    }
    const PartRow& prev = Part(song, part - 1);
    const int loaded = prev.start + prev.partEndTime - Part(song, part).start;
    return static_cast<int16_t>(loaded > 0 ? loaded : 0);
}

}  // namespace zb
