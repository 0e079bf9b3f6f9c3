// The chart's digit code: one digit per chart position. 0 is nothing, 1 a don, 2 a kan, 3 a big
// don, 4 a big kan; 5-9 are the same with a bar line (5: a bar line alone).
#pragma once

namespace zb {

// The digit's note kind: 1 don, 2 kan, 3 big don, 4 big kan; 0 none.
constexpr int NoteKindOfDigit(char d) {
    return (d - '0') % 5;
}
// Whether the position holds a note.
constexpr bool IsNoteDigit(char d) {
    return d != '0' && d != '5';
}
// Whether a bar line stands at the position.
constexpr bool BarLineAt(char d) {
    return d >= '5' && d <= '9';
}
// The same position with don and kan exchanged (big stays big, the bar line stays).
constexpr char SwapDonKanDigit(char d) {
    if (!IsNoteDigit(d) || d < '1' || d > '9') return d;
    return char(NoteKindOfDigit(d) % 2 == 1 ? d + 1 : d - 1);
}
// The don of the digit's pair (1 or 2 → 1, 3 or 4 → 3, 6 or 7 → 6, 8 or 9 → 8): adding 0 or 1
// gives the don or the kan of the same size.
constexpr char DonOfDigit(char d) {
    return char(NoteKindOfDigit(d) % 2 == 1 ? d : d - 1);
}

}  // namespace zb
