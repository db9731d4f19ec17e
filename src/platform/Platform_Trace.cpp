#include "platform/Platform_Trace.h"

#include <cstdio>

namespace tavrin {

namespace {
bool g_traceOn = false;
std::string g_tracePath = "Trace.log";
}  // namespace

bool Trace_FlagFrom(const std::vector<std::string>& args, const char* envValue) {
  if (envValue && std::string_view(envValue) == "1") return true;
  // The last argument is never taken as the switch: it is the one a game
  // most often receives as its own (a file to open, say).
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "--VXTrace") return true;
  return false;
}

void Trace_SetEnabled(bool on) { g_traceOn = on; }
bool Trace_Enabled() { return g_traceOn; }
void Trace_SetPath(std::string path) { g_tracePath = std::move(path); }

void WriteTrace(std::string_view text) {
  if (!g_traceOn) return;
  // Opened and closed for every line, so the log survives a crash intact.
  FILE* f = std::fopen(g_tracePath.c_str(), "ab");
  if (!f) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fputc('\n', f);
  std::fclose(f);
}

}  // namespace tavrin
