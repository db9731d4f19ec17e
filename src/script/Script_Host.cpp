#include "script/Script_Host.h"

#include <cstdio>

namespace tavrin {

namespace {
CHost g_defaultHost;
CHost* g_host = &g_defaultHost;
}  // namespace

CHost& Host() { return *g_host; }
void Host_Install(CHost* host) { g_host = host ? host : &g_defaultHost; }

std::string CHost::ObjectName(int32_t) { return "<undefined>"; }
std::string CHost::TimeLineName(int32_t) { return "<undefined>"; }
std::string CHost::TriggerName(int32_t) { return "<Deleted>"; }
std::string CHost::KeyName(int32_t key) { return std::to_string(key); }
std::string CHost::MouseEventName(int32_t number) { return std::to_string(number); }

// Until the error window exists, its text goes to standard error, one line per
// line of the message, and the game goes on as if "Ignore" were chosen.
bool CHost::ShowErrorWindow(std::string_view message, bool /*canIgnore*/) {
  std::string out;
  for (char c : message) {
    if (c == '\r')
      out += '\n';
    else if (c != '\n')
      out += c;
  }
  out += '\n';
  std::fflush(stdout);
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
  return false;
}

void CHost::MessageBox(std::string_view text) { ShowErrorWindow(text, true); }

}  // namespace tavrin
