// --input FILE: keyboard, mouse, joystick and window events played at given
// steps, so that a game can be played without a person and its output or
// frames compared. The format is described in docs/input-replay.md.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace tavrin {

// One line of a replay: a window event, or the whole state a virtual
// joystick takes.
struct RReplayEvent {
  int64_t step = 0;
  int joystick = 0;  // 1 or 2 for a joystick line, else 0
  RPlatformEvent event;
  RJoystickState state;
};

struct RReplay {
  std::vector<RReplayEvent> events;  // in step order
  bool joysticks = false;            // some line drives a joystick
};

// Reads a replay; on the first line that cannot be read, nothing and the
// reason with its line number: "line 3: ...".
std::optional<RReplay> Replay_Parse(std::string_view text, std::string& error);
// The file's replay; the error names the file and the line.
std::optional<RReplay> Replay_Read(const std::string& path, std::string& error);

// Plays `replay` in this run (an empty one: nothing but the player).
// `person` says whether a person may answer a wait once the replay is over.
void Replay_Install(RReplay replay, bool person);
// Puts the events of every step up to `step` into the input stream; they
// arrive the next time messages are processed.
void Replay_Feed(int64_t step);

}  // namespace tavrin
