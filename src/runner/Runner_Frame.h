// The frames of the running game: the game window and its device, opened at
// start for the first room and closed at the end; each drawn room captioned;
// each step's frame presented and, when the command line asks for it,
// written to disk as a picture.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace tavrin {

class CRoom;

// --frames DIR and --frame-every K: every K-th frame the loop presents
// (the first, then every K-th after it) is written as DIR/frame-NNNNNN.png,
// NNNNNN the step number. The frames of a room transition are all written,
// whatever K, as DIR/frame-NNNNNN-tKK.png, NNNNNN the step after which the
// room changed and KK the transition's frame from 00 (the old room) to its
// last (the new room). An empty DIR writes nothing. False, with the reason,
// when the folder cannot be made.
bool Frame_Configure(const std::string& dir, int every, std::string& error);
std::string Frame_FileName(const std::string& dir, int64_t step, int32_t transitionFrame = -1);

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
// Shows frame `frame` of a room transition that follows step `step`,
// written when --frames is given.
void Frame_PresentTransition(int64_t step, int32_t frame);

}  // namespace tavrin
