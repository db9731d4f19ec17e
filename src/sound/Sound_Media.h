// Media command strings, as games send them to the media player and to the
// CD drive: "open FILE [type T] [alias NAME]", "play NAME [from MS] [repeat]",
// "stop", "pause", "resume", "close", "seek NAME to start|end|MS",
// "set NAME time format milliseconds", "status NAME mode|length|position|
// media present|number of tracks|ready". The media player plays one file at
// a time. This machine has no CD drive: "cdaudio" answers as a drive without
// a disc. Unknown commands answer "" and write a trace line.
#pragma once

#include <string>

namespace tavrin {

// The reply, at most 255 characters.
std::string Media_Command(const std::string& command);
// Forgets the open file's alias and the trace lines already written (a new game).
void Media_ResetCommands();

}  // namespace tavrin
