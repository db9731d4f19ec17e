#include "runner/Runner_Replay.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "script/Code_Constant.h"
#include "script/Variable_Class.h"
#include "world/Input_State.h"

namespace tavrin {

namespace {

struct RReplayPlay {
  RReplay replay;
  size_t next = 0;      // the first event not played yet
  bool person = false;  // a person may answer a wait once the replay is over
};
RReplayPlay g_Play;

// A line taken apart into words, with the rest of the line after a word (for
// text, which keeps its spaces).
struct RWords {
  std::string_view line;
  std::vector<std::string_view> words;
  std::vector<size_t> ends;  // where each word ends in the line
};

RWords Split(std::string_view line) {
  RWords w{line, {}, {}};
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) {
      w.words.push_back(line.substr(start, i - start));
      w.ends.push_back(i);
    }
  }
  return w;
}

bool WholeNumber(std::string_view s, int64_t low, int64_t high, int64_t& out) {
  const auto [at, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && at == s.data() + s.size() && out >= low && out <= high;
}

bool Number(std::string_view s, double& out) {
  const auto [at, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && at == s.data() + s.size() && std::isfinite(out);
}

// A key: its code 0..255, a vk_ constant, or a letter or digit.
bool Key(std::string_view s, int& key) {
  int64_t n = 0;
  if (WholeNumber(s, 0, 255, n)) {
    key = int(n);
    return true;
  }
  if (s.size() == 1 && std::isalnum(static_cast<unsigned char>(s[0]))) {
    key = std::toupper(static_cast<unsigned char>(s[0]));
    return true;
  }
  RValue v;
  Constant_RegisterBuiltins();
  if (s.substr(0, 3) == "vk_" && Constant_Find(s, v)) {
    key = int(v.AsReal());
    return true;
  }
  return false;
}

bool Button(std::string_view s, int& b) {
  b = s == "left" ? 1 : s == "right" ? 2 : s == "middle" ? 3 : 0;
  return b != 0;
}

bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const uint8_t b = uint8_t(s[i]);
    const int more = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (more < 0 || (more == 1 && b < 0xC2)) return false;
    ++i;
    for (int k = 0; k < more; ++k, ++i)
      if (i >= s.size() || (uint8_t(s[i]) & 0xC0) != 0x80) return false;
  }
  return true;
}

// Text with its escapes: \b backspace, \t tab, \n Enter, \e Escape, \\.
bool Unescape(std::string_view s, std::string& out, std::string& why) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i == s.size()) {
      why = "a text ends in a lone \\";
      return false;
    }
    switch (s[i]) {
      case 'b': out += '\b'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\r'; break;
      case 'e': out += '\x1b'; break;
      case '\\': out += '\\'; break;
      default: why = std::string("unknown escape \\") + s[i] + " in a text (\\b \\t \\n \\e \\\\)"; return false;
    }
  }
  if (out.empty()) {
    why = "text needs at least one character";
    return false;
  }
  if (!ValidUtf8(out)) {
    why = "the text is not UTF-8";
    return false;
  }
  return true;
}

constexpr const char* kAxes = "xyzruv";

// A stick position from -1 to 1 on the games' scale, 0 the centre.
uint32_t AxisValue(double v) {
  return uint32_t(std::lround(v < 0 ? 32767 + v * 32767 : 32767 + v * 32768));
}

// One line (words after the step); false with the reason.
bool ParseEvent(const RWords& w, RReplayEvent& e, std::array<RJoystickState, 2>& sticks, std::string& why) {
  const auto& a = w.words;
  const std::string_view kind = a[1];
  const size_t n = a.size();
  auto count = [&](size_t want, const char* form) {
    if (n == want) return true;
    why = std::string("\"") + std::string(kind) + "\" takes the form: STEP " + form;
    return false;
  };
  RPlatformEvent& ev = e.event;
  if (kind == "key") {
    if (!count(4, "key down|up KEY")) return false;
    if (a[2] != "down" && a[2] != "up") return why = "a key goes \"down\" or \"up\", not \"" + std::string(a[2]) + "\"", false;
    ev.type = a[2] == "down" ? RPlatformEvent::KeyDown : RPlatformEvent::KeyUp;
    if (!Key(a[3], ev.key))
      return why = "\"" + std::string(a[3]) + "\" is no key: give a code 0-255, a vk_ name or a letter or digit", false;
    return true;
  }
  if (kind == "text") {
    if (n < 3) return why = "\"text\" takes the form: STEP text CHARACTERS", false;
    // Everything after the one blank that follows "text".
    std::string_view rest = w.line.substr(w.ends[1] + 1);
    ev.type = RPlatformEvent::Text;
    return Unescape(rest, ev.text, why);
  }
  if (kind == "mouse") {
    if (n >= 3 && a[2] == "move") {
      if (!count(5, "mouse move X Y")) return false;
      int64_t x = 0, y = 0;
      if (!WholeNumber(a[3], -1000000, 1000000, x) || !WholeNumber(a[4], -1000000, 1000000, y))
        return why = "a mouse position is two whole numbers (the window's pixels)", false;
      ev.type = RPlatformEvent::MouseMove;
      ev.x = int(x);
      ev.y = int(y);
      return true;
    }
    if (!count(4, "mouse down|up left|right|middle, or mouse move X Y")) return false;
    if (a[2] != "down" && a[2] != "up") return why = "a button goes \"down\" or \"up\", not \"" + std::string(a[2]) + "\"", false;
    ev.type = a[2] == "down" ? RPlatformEvent::MouseDown : RPlatformEvent::MouseUp;
    if (!Button(a[3], ev.button)) return why = "\"" + std::string(a[3]) + "\" is no button: left, right or middle", false;
    return true;
  }
  if (kind == "wheel") {
    if (!count(3, "wheel up|down")) return false;
    if (a[2] != "up" && a[2] != "down") return why = "the wheel turns \"up\" or \"down\"", false;
    ev.type = RPlatformEvent::MouseWheel;
    ev.y = a[2] == "up" ? 1 : -1;
    return true;
  }
  if (kind == "close") {
    if (!count(2, "close")) return false;
    ev.type = RPlatformEvent::WindowClose;
    return true;
  }
  if (kind == "focus") {
    if (!count(3, "focus lost|gained")) return false;
    if (a[2] != "lost" && a[2] != "gained") return why = "the focus is \"lost\" or \"gained\"", false;
    ev.type = a[2] == "lost" ? RPlatformEvent::FocusLost : RPlatformEvent::FocusGained;
    return true;
  }
  if (kind == "joy") {
    int64_t id = 0;
    if (n < 4 || !WholeNumber(a[2], 1, 2, id))
      return why = "\"joy\" takes the form: STEP joy 1|2 axis|button|pov ...", false;
    RJoystickState& s = sticks[size_t(id - 1)];
    const std::string_view part = a[3];
    if (part == "axis") {
      if (!count(6, "joy N axis x|y|z|r|u|v VALUE")) return false;
      const size_t axis = a[4].size() == 1 ? std::string_view(kAxes).find(a[4][0]) : std::string_view::npos;
      if (axis == std::string_view::npos) return why = "the axes are x, y, z, r, u and v", false;
      double v = 0;
      if (!Number(a[5], v) || v < -1 || v > 1) return why = "an axis goes from -1 to 1", false;
      s.axes[axis] = AxisValue(v);
    } else if (part == "button") {
      if (!count(6, "joy N button B down|up")) return false;
      int64_t b = 0;
      if (!WholeNumber(a[4], 1, 32, b)) return why = "joystick buttons are numbered 1 to 32", false;
      if (a[5] != "down" && a[5] != "up") return why = "a button goes \"down\" or \"up\"", false;
      if (a[5] == "down") s.buttons |= 1u << (b - 1);
      else s.buttons &= ~(1u << (b - 1));
    } else if (part == "pov") {
      if (!count(5, "joy N pov DEGREES|centre")) return false;
      int64_t d = 0;
      if (a[4] == "centre" || a[4] == "center") s.pov = 65535;
      else if (WholeNumber(a[4], 0, 315, d) && d % 45 == 0) s.pov = uint32_t(d * 100);
      else return why = "the hat points at 0, 45, 90 ... 315 degrees or is \"centre\"", false;
    } else {
      return why = "a joystick has an \"axis\", a \"button\" or a \"pov\"", false;
    }
    e.joystick = int(id);
    e.state = s;
    return true;
  }
  why = "unknown event \"" + std::string(kind) + "\" (key, text, mouse, wheel, joy, close, focus)";
  return false;
}

}  // namespace

std::optional<RReplay> Replay_Parse(std::string_view text, std::string& error) {
  RReplay replay;
  std::array<RJoystickState, 2> sticks{};
  int64_t lastStep = 1;
  size_t lineNumber = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const RWords w = Split(line);
    if (w.words.empty() || w.words[0][0] == '#') continue;
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(lineNumber) + ": " + why;
      return std::nullopt;
    };
    RReplayEvent e;
    if (!WholeNumber(w.words[0], 1, int64_t(1) << 52, e.step))
      return fail("a line starts with its step, a whole number from 1 on, not \"" + std::string(w.words[0]) + "\"");
    if (e.step < lastStep)
      return fail("step " + std::to_string(e.step) + " comes after step " + std::to_string(lastStep) +
                  ": lines go in the order of their steps");
    lastStep = e.step;
    if (w.words.size() < 2) return fail("the step is not followed by an event");
    std::string why;
    if (!ParseEvent(w, e, sticks, why)) return fail(why);
    replay.joysticks = replay.joysticks || e.joystick != 0;
    replay.events.push_back(std::move(e));
  }
  return replay;
}

std::optional<RReplay> Replay_Read(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be read";
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::optional<RReplay> replay = Replay_Parse(text.str(), error);
  if (!replay) error = path + ": " + error;
  return replay;
}

namespace {

void Play(const RReplayEvent& e) {
  if (e.joystick) {
    if (Platform_Installed()) Platform().Joystick_SetVirtual(e.joystick, e.state);
    return;
  }
  Input_Inject(e.event);
}

// A wait that processed everything takes the replay's next step at once, as
// if the player had answered it then.
bool FeedWait() {
  const auto& events = g_Play.replay.events;
  if (g_Play.next < events.size()) {
    Replay_Feed(events[g_Play.next].step);
    return true;
  }
  return g_Play.person;
}

}  // namespace

void Replay_Install(RReplay replay, bool person) {
  g_Play = RReplayPlay{std::move(replay), 0, person};
  Input_SetWaitFeeder(FeedWait);
}

void Replay_Feed(int64_t step) {
  const auto& events = g_Play.replay.events;
  while (g_Play.next < events.size() && events[g_Play.next].step <= step) Play(events[g_Play.next++]);
}

}  // namespace tavrin
