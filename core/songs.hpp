// The song table: titles, music files and every per-song, per-part and per-chart constant of the
// ten built-in songs. Everything the chart loader, the play loop, the song select screen and the
// content tools know about a song comes from here.
#pragma once

#include <cstdint>
#include <string>

namespace zb {

inline constexpr int kSongCount = 10;
inline constexpr int kDifficultyCount =
    4;  // 0 かんたん, 1 むずかしい, 2 ワンだフル！, 3 song 8 only
inline constexpr int kMultiPartCount = 3;  // parts of songs 5 and 6

// Song 4 at difficulty 2 speeds up after its first 360 positions: the loader places later notes
// at four times the spacing and the play loop multiplies spacing and windows by four once note
// 251 is the next to judge.
inline constexpr int kSpeedUpSong = 4;
inline constexpr int kSpeedUpDifficulty = 2;
inline constexpr int kSpeedUpLastPosition = 360;
inline constexpr int kSpeedUpFirstNote = 251;
inline constexpr int kSpeedUpFactor = 4;

// The chart that speeds up.
constexpr bool SpeedsUp(int song, int difficulty) {
    return song == kSpeedUpSong && difficulty == kSpeedUpDifficulty;
}
// A position placed at the fast spacing, and a note judged with the fast windows.
constexpr bool IsSpeedUpPosition(int song, int difficulty, int position) {
    return SpeedsUp(song, difficulty) && position > kSpeedUpLastPosition;
}
constexpr bool IsSpeedUpNote(int song, int difficulty, int note) {
    return SpeedsUp(song, difficulty) && note >= kSpeedUpFirstNote;
}

// One chart of the song table: a song and its difficulty, which always travel together.
struct ChartId {
    int16_t song = 0;
    int16_t difficulty = 0;
};

// The three judgement windows in lane pixels, innermost first.
struct JudgeWindows {
    int16_t w1 = 13, w2 = 26, w3 = 39;
};
// Most charts' windows, and those of every load before the chart's own are set.
inline constexpr JudgeWindows kDefaultJudgeWindows{};

// The constants of one chart (song and difficulty), shared by all parts of songs 5 and 6.
struct ChartConstants {
    int16_t SongLevel;
    int16_t Notes;  // note count of the whole song (all three parts of songs 5 and 6)
    int16_t GaugeGainBest, GaugeGainGood, GaugeLoss, GaugeUnit;
    int16_t ComboBonusStep;
    JudgeWindows windows;  // of single-part songs; songs 5 and 6 take them from their parts
    int16_t NoteSpacing;
};

const char* SongTitle(int song);
const char* SongShortName(int song);
// The song's name on the play screen's course line; two are spelt differently from the title.
const char* SongCourseLineName(int song);
// The music file relative to the program's folder, with "/" separators ("sound/bike.mid").
std::string SongMusicFile(int song);
// The star level, 0 when the song has no chart at that difficulty.
int16_t SongLevelOf(ChartId chart);
bool HasChart(ChartId chart);
// The per-chart constants; the chart must exist.
const ChartConstants& ChartConstantsOf(ChartId chart);

// Songs 5 and 6 are played as three parts over one music file; all others are one part (part 0).
bool IsMultiPartSong(int song);
int PartCount(int song);
double MusicVolumeScaleOf(int song);
// Chart positions per measure: 16, 12 for song 4, 24 for most measures of song 8.
int MeasureLength(int song);

// Timing of one part (part 0 for single-part songs).
int16_t PartStartTime(int song, int part);  // centiseconds into the music where the part begins
int16_t PartEndTimeOf(int song, int part);  // centiseconds since the part's start
int16_t ChartSpanOf(int song, int part);    // centiseconds that the chart text spans
int ChartLengthOf(int song, int part);      // chart positions
int16_t ChartOffsetOf(ChartId chart, int part);
JudgeWindows JudgeWindowsOf(ChartId chart, int part);
// Notes of one part's chart (the whole chart for single-part songs).
int16_t PartNoteCount(ChartId chart, int part);
// The note total that the play loop scores a song on (all parts of songs 5 and 6).
int16_t SongNoteTotal(ChartId chart);
// Centiseconds into a part at which the play loop has loaded its chart: 0 for first parts; a part
// that begins before the previous one ends is loaded late (song 5 part 2: 20, song 6 part 1: 100).
int16_t PartLoadTime(int song, int part);

}  // namespace zb
