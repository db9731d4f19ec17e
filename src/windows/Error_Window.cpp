#include "windows/Error_Window.h"

#include <cctype>

#include "platform/Platform_Answers.h"
#include "windows/Dialog_Modal.h"

namespace tavrin {

namespace {

constexpr int kTab = 9, kEnter = 13, kSpace = 32;
constexpr const char* kRule = "___________________________________________";

struct RButtonPlace {
  RPaintRect rect;
  const char* label;
  char key;          // with Alt
  const char* hint;  // shown while the mouse is over the button
};
constexpr RButtonPlace kPlaces[CErrorWindow::kButtons] = {
    {{8, 328, 75, 25}, "&Abort", 'A', "Abort the execution of the game"},
    {{96, 328, 75, 25}, "&Ignore", 'I', "Ignore the error and continue the game"},
    {{328, 328, 75, 25}, "&Copy", 'C', "Copy the error messages to the clipboard"},
    {{416, 328, 75, 25}, "C&lear", 'L', "Clear the list of error messages"},
};

std::string Lower(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '\t') out += char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

CMemo& Error_Memo() {
  static CMemo memo({8, 8, 481, 305}, RPaintFont{"Courier New", 12, 0x000000});
  return memo;
}

CErrorWindow::CErrorWindow(CMemo& memo, std::function<void(const std::string&)> copy)
    : m_memo(memo), m_copy(std::move(copy)) {}

void CErrorWindow::Begin(std::string_view message, bool canIgnore) {
  m_message = std::string(message);
  m_canIgnore = canIgnore;
  m_answer = EErrorAnswer::NotShown;
  m_memo.Append("");
  m_memo.Append(kRule);
  std::string line;
  for (char c : message) {
    if (c == '\r') {
      m_memo.Append(std::move(line));
      line.clear();
    } else if (c != '\n') {
      line += c;
    }
  }
  m_memo.Append(std::move(line));
  m_memo.ScrollToEnd();
}

RPaintRect CErrorWindow::ButtonRect(EButton b) { return kPlaces[b].rect; }

void CErrorWindow::Press(EButton b) {
  if (!ButtonVisible(b)) return;
  switch (b) {
    case kAbort: m_answer = EErrorAnswer::Abort; return;
    case kIgnore: m_answer = EErrorAnswer::Ignore; return;
    case kCopy: {
      // The view stays where it was.
      const int top = m_memo.Top();
      if (m_copy) m_copy(m_memo.Text());
      m_memo.ScrollTo(top);
      return;
    }
    case kClear: m_memo.Clear(); return;
    default: return;
  }
}

void CErrorWindow::MoveFocus(bool back) {
  do {
    m_focus += back ? -1 : 1;
    if (m_focus >= kButtons) m_focus = -1;
    if (m_focus < -1) m_focus = kButtons - 1;
  } while (m_focus >= 0 && !ButtonVisible(EButton(m_focus)));
}

void CErrorWindow::Event(const RPlatformEvent& e) {
  if (Done()) return;
  m_keys.Track(e);
  switch (e.type) {
    case RPlatformEvent::KeyDown:
      if (e.key == kTab) return MoveFocus(m_keys.shift);
      // Enter presses the button that has the keyboard, else the default
      // one: Abort. Space presses only a button that has the keyboard.
      if (e.key == kEnter) return Press(m_focus >= 0 ? EButton(m_focus) : kAbort);
      if (e.key == kSpace && m_focus >= 0) return Press(EButton(m_focus));
      if (m_keys.alt) {
        for (int b = 0; b < kButtons; ++b)
          if (e.key == kPlaces[b].key) return Press(EButton(b));
        return;
      }
      m_memo.KeyDown(e.key);
      return;
    case RPlatformEvent::MouseWheel: return m_memo.Wheel(e.y);
    case RPlatformEvent::MouseMove:
    case RPlatformEvent::MouseDown:
    case RPlatformEvent::MouseUp: {
      m_inside = -1;
      for (int b = 0; b < kButtons; ++b)
        if (ButtonVisible(EButton(b)) && kPlaces[b].rect.Contains(e.x, e.y)) m_inside = b;
      if (e.type == RPlatformEvent::MouseMove) m_memo.Drag(e.y);
      if (e.type == RPlatformEvent::MouseDown && e.button == 1) {
        m_down = m_inside;
        m_memo.Click(e.x, e.y);
      }
      if (e.type == RPlatformEvent::MouseUp && e.button == 1) {
        m_memo.Release();
        const int pressed = m_down;
        m_down = -1;
        if (pressed >= 0 && pressed == m_inside) Press(EButton(pressed));
      }
      return;
    }
    case RPlatformEvent::WindowClose: m_answer = EErrorAnswer::Abort; return;
    default: return;
  }
}

TBitmap32 CErrorWindow::Paint() {
  TBitmap32 bm(kWidth, kHeight, 0xFFF0F0F0u);
  m_memo.Paint(bm);
  for (int b = 0; b < kButtons; ++b) {
    if (!ButtonVisible(EButton(b))) continue;
    // Abort is the default button.
    Paint_Button(bm, kPlaces[b].rect, kPlaces[b].label,
                 {m_inside == b, m_down == b && m_inside == b, b == kAbort, b == m_focus});
  }
  if (m_inside >= 0 && m_down < 0) Paint_Hint(bm, kPlaces[m_inside].rect, kPlaces[m_inside].hint);
  return bm;
}

bool Error_IsAnswer(std::string_view line) { return Lower(line).rfind("error:", 0) == 0; }

std::string CErrorWindow::Answer(const std::string* answer) {
  const std::string word = answer && Error_IsAnswer(*answer) ? Lower(*answer).substr(6) : std::string();
  const std::string choices = m_canIgnore ? "the error window answers \"error: ignore\" or \"error: abort\""
                                          : "the error is fatal: its window answers \"error: abort\" only";
  if (!answer || word == "abort") {
    m_answer = EErrorAnswer::Abort;
    return {};
  }
  if (word == "ignore" && m_canIgnore) {
    m_answer = EErrorAnswer::Ignore;
    return {};
  }
  return choices;
}

std::string CErrorWindow::Description() const {
  std::string first = m_message.substr(0, m_message.find_first_of("\r\n"));
  if (first.size() > 60) first = first.substr(0, 57) + "...";
  return "the error window \"" + first + "\"";
}

RModalRecord CErrorWindow::Record() const {
  RModalRecord r;
  r.kind = "error window";
  r.caption = kErrorCaption;
  r.text = m_message;
  for (int b = 0; b < kButtons; ++b)
    if (ButtonVisible(EButton(b))) r.buttons.push_back(kPlaces[b].label);
  r.answer = !Done() ? "none" : m_answer == EErrorAnswer::Ignore ? "ignore" : "abort";
  return r;
}

EErrorAnswer Error_ShowWindow(std::string_view message, bool canIgnore) {
  if (Answers_Headless() || !Platform_Installed()) {
    std::string next;
    if (!Answers_Peek(next) || !Error_IsAnswer(next)) return EErrorAnswer::NotShown;
  }
  CErrorWindow window(Error_Memo(), [](const std::string& text) {
    if (Platform_Installed()) Platform().Clipboard_SetText(text);
  });
  window.Begin(message, canIgnore);
  RModalLook look;
  look.caption = kErrorCaption;
  Modal_Run(window, look);
  return window.Result();
}

}  // namespace tavrin
