// The trace log: "Trace.log" beside the executable, one line per entry, written
// only when tracing was switched on at start. Tracing is best-effort: a log
// that cannot be written never disturbs the game.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// Decides the trace flag once at start: on when the environment value of
// VXLOG_TRACE is exactly "1", or when an argument other than the last one is
// exactly "--VXTrace". `args` excludes the program name.
bool Trace_FlagFrom(const std::vector<std::string>& args, const char* envValue);

void Trace_SetEnabled(bool on);
bool Trace_Enabled();
// Where the log is written; by default "Trace.log" in the executable's folder.
void Trace_SetPath(std::string path);

// Appends `text` and a line break to the log when tracing is on.
void WriteTrace(std::string_view text);

}  // namespace tavrin
