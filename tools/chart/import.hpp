// zubakko-chart import: what the game makes of a MIDI file as an own song.
#pragma once

#include <string>
#include <vector>

// Runs the import command with the arguments after "import"; returns the exit status (3 when
// the file cannot be played).
int RunImport(const std::vector<std::string>& args);
