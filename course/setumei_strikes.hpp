// The song select's instructions picture names テンキー1, 2, 4 and 5 for the four strikes. When
// the player has bound other keys, or a pad is connected, their names are written over those
// places on the shown screen, in the picture's own colours; the picture itself stays as shipped.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

// Draws the strikes' keys (and the first pad's inputs) over the instructions on pGamen, whose
// picture was drawn with its top-left corner at (x, y).
void DrawBoundStrikes(Game& game, int x, int y);
// Adds 「Pで練習」 at the end of the instructions' first row (the courses that offer practice).
void DrawPracticeKey(Game& game, int x, int y);
// Adds 「F5 ドラム：あり」 (or 小さく, なし) at the right of the ground's stripe under the song;
// the song select picture's top-left corner is at (x, y).
void DrawDrumChoice(Game& game, int x, int y);
// Adds 「F6 ゴースト：あり」 (or なし) and 「F7 リプレイ」 on the row above it.
void DrawGhostChoice(Game& game, int x, int y);

// How the instructions name a key: "テンキー1", "Z", "2".
std::string StrikeKeyName(int vkCode);

}  // namespace zb
