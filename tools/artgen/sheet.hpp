// Review pictures: a contact sheet of every picture labelled with its file name, and mock
// screens composed from the written files the way the game composes them.
#pragma once

#include <string>

#include "art.hpp"

namespace artgen {

// Reads every picture of the set back from imgDir and lays them out on one PNG, followed by the
// mock screens.
void WriteContactSheet(const ArtSet& art, const std::string& imgDir, const std::string& pngPath);

// Writes title.png, song_select.png, song_select_easy.png,
// song_select_challenge.png, play.png, play_night.png, drummer.png (the
// strikes) and judgement.png (the frame's pulse and the words) into dir.
void WriteMocks(const std::string& imgDir, const std::string& dir);

}  // namespace artgen
