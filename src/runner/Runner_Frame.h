// The frames of the running game: the game window and its device, opened at
// start for the first room and closed at the end; each drawn room captioned; each step's frame presented and, when the command line asks for
// it, written to disk as a picture.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace tavrin {

class CRoom;

// --frames DIR and --frame-every K: every K-th frame the loop presents
// (the first, then every K-th after it) is written as DIR/frame-NNNNNN.png,
// NNNNNN the step number. An empty DIR writes nothing. False, with the
// reason, when the folder cannot be made.
bool Frame_Configure(const std::string& dir, int every, std::string& error);
std::string Frame_FileName(const std::string& dir, int64_t step);

// Opens the game window and its device for the first room of the game.
// Returns the reason when it cannot.
std::string Frame_OpenDisplay();
void Frame_CloseDisplay();

// Makes the region fit the room being entered (the window follows when its
// size changes).
void Frame_FitRegion(const CRoom& room);
// The window caption for the room, with the score, lives and health as the
// game shows them.
void Frame_ShowCaption(const CRoom& room);
// Ends the frame, shows it, serves a display reset, and begins the next
// frame. With `record`, the frame counts for --frames and is written when
// due, named by `step`.
void Frame_Present(int64_t step, bool record);

}  // namespace tavrin
