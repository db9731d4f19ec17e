// The media command strings over the one media player (Sound_Main) and a CD
// drive that holds no disc.
#include "sound/Sound_Media.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/Platform_Trace.h"
#include "sound/Sound_Main.h"

namespace tavrin {

namespace {

struct RCommandState {
  std::string alias;    // the name the open file answers to, besides its own
  bool tracedCd = false;  // the missing drive is traced once
};
RCommandState g_Commands;

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Words, with "quoted names" kept whole.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i >= text.size()) break;
    if (text[i] == '"') {
      const size_t end = text.find('"', i + 1);
      out.push_back(text.substr(i + 1, (end == std::string::npos ? text.size() : end) - i - 1));
      i = end == std::string::npos ? text.size() : end + 1;
    } else {
      size_t end = i;
      while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
      out.push_back(text.substr(i, end - i));
      i = end;
    }
  }
  return out;
}

// The word after `key`, or "".
std::string After(const std::vector<std::string>& w, const std::string& key) {
  for (size_t i = 2; i + 1 < w.size(); ++i)
    if (Lower(w[i]) == key) return w[i + 1];
  return {};
}
bool Has(const std::vector<std::string>& w, const std::string& key) {
  for (size_t i = 2; i < w.size(); ++i)
    if (Lower(w[i]) == key) return true;
  return false;
}

int64_t Number(const std::string& s) {
  int64_t n = 0;
  bool any = false;
  for (char c : s)
    if (c >= '0' && c <= '9' && n < (int64_t(1) << 50)) n = n * 10 + (c - '0'), any = true;
  return any ? n : -1;
}

std::string Unknown(const std::string& command) {
  WriteTrace("Media command not understood: " + command);
  return {};
}

// The CD drive: present as a device, never holding a disc.
std::string CdCommand(const std::string& verb, const std::vector<std::string>& w) {
  if (!g_Commands.tracedCd) {
    g_Commands.tracedCd = true;
    WriteTrace("CD audio :: this machine has no CD drive; cd functions answer as for a drive without a disc");
  }
  if (verb == "status") {
    const std::string what = w.size() > 2 ? Lower(w[2]) : "";
    if (what == "media") return "false";
    if (what == "mode") return "not ready";
    if (what == "ready") return "false";
    return "0";
  }
  return {};
}

bool NamesPlayer(const std::string& name) {
  const RMediaStatus st = Media_Status();
  const std::string n = Lower(name);
  return st.open && (n == "all" || n == Lower(st.file) || (!g_Commands.alias.empty() && n == Lower(g_Commands.alias)));
}

}  // namespace

void Media_ResetCommands() { g_Commands = RCommandState(); }

std::string Media_Command(const std::string& command) {
  const std::vector<std::string> w = Words(command);
  if (w.empty()) return Unknown(command);
  const std::string verb = Lower(w[0]);
  const std::string device = w.size() > 1 ? w[1] : "";
  if (Lower(device) == "cdaudio") return CdCommand(verb, w);
  if (verb == "open" && !device.empty()) {
    if (!Media_Open(device)) return {};
    g_Commands.alias = After(w, "alias");
    return "1";
  }
  if (!NamesPlayer(device)) return Unknown(command);
  std::string reply;
  if (verb == "play") {
    const std::string from = After(w, "from");
    const RMediaStatus st = Media_Status();
    if (!from.empty())
      Media_Play(Has(w, "repeat"), std::max<int64_t>(Number(from), 0));
    else if (st.paused)
      Media_Pause(false);
    else if (!st.playing)
      Media_Play(Has(w, "repeat"), 0);
  } else if (verb == "stop") {
    Media_Stop();
  } else if (verb == "pause") {
    Media_Pause(true);
  } else if (verb == "resume") {
    Media_Pause(false);
  } else if (verb == "close") {
    Media_Close();
    g_Commands.alias.clear();
  } else if (verb == "seek") {
    const std::string to = Lower(After(w, "to"));
    Media_Seek(to == "end" ? Media_Status().lengthMs : to == "start" ? 0 : std::max<int64_t>(Number(to), 0));
  } else if (verb == "set") {
    // Times are always milliseconds here; other formats are not offered.
    const std::string format = Lower(After(w, "format"));
    if (format != "milliseconds" && format != "ms") return Unknown(command);
  } else if (verb == "status") {
    const std::string what = w.size() > 2 ? Lower(w[2]) : "";
    const RMediaStatus st = Media_Status();
    if (what == "mode")
      reply = st.playing ? "playing" : st.paused ? "paused" : "stopped";
    else if (what == "length")
      reply = std::to_string(st.lengthMs);
    else if (what == "position")
      reply = std::to_string(st.positionMs);
    else if (what == "ready")
      reply = "true";
    else
      return Unknown(command);
  } else {
    return Unknown(command);
  }
  return reply.substr(0, 255);
}

}  // namespace tavrin
