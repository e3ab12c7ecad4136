#pragma once
#include "platform/MidiFile.h"

#include <vector>

namespace music {

struct Piece {
    const char* fileName;  // as it appears in the program folder
    platform::midi::File (*compose)();
};

// Every piece of the game's music.
const std::vector<Piece>& pieces();

}  // namespace music
