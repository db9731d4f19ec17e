// The transition between two rooms: the picture of the room being left is
// kept, the new room's first picture is drawn aside, and the two are mixed
// over transition_steps + 1 frames in one of the built-in ways (revealed from
// a side or the centre, slid in, interlaced, pushed out, zoomed and turned,
// blended, faded through black) or by a script the game defined for its kind.
// Both pictures are surfaces, which a game's own transition draws with the
// surface functions.
#pragma once

#include <cstdint>

namespace tavrin {

// Before the room ends: when `kind` is built in or defined by the game, keeps
// the room's picture and sends the next drawing aside. Nothing otherwise.
void Transition_Prepare(int32_t kind);
// True between Transition_Prepare and Transition_Play (the new room's first
// drawing goes aside).
bool Transition_Pending();
// After the new room's first drawing: plays the prepared transition, frame
// by frame over `steps` + 1 frames, and lets go of both pictures. Nothing
// when none is prepared. `afterStep` names the frames for --frames.
void Transition_Play(int32_t steps, int64_t afterStep);
// Lets go of a prepared transition that will not be played (the game ends).
void Transition_Cancel();

// The built-in kinds, 1 to 21.
inline constexpr int32_t kTransitionKinds = 21;

// transition_define and transition_exists.
void Transition_RegisterFunctions();

// One frame of transition `kind` at t in [0, 1] (of `steps`) from picture
// `from` to picture `to`, both W x H, on the current target.
void Transition_DrawFrame(int32_t kind, int32_t from, int32_t to, int32_t W, int32_t H, double t, int32_t steps);

}  // namespace tavrin
