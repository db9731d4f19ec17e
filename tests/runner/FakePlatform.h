// A platform for tests: records what the runner asks of it and answers
// message boxes from a script.
#pragma once

#include <deque>
#include <map>
#include <stdexcept>

#include "graphics/Graphics_Recorder.h"
#include "platform/Platform.h"

namespace tavrin::test {

class CFakePlatform final : public IPlatform {
 public:
  RDisplayMode display{1024, 768, 32, 60};
  std::deque<EAnswer> answers;  // next message box answers; empty: the default button
  std::vector<std::string> boxes;
  std::vector<RDisplayMode> modeRequests;
  std::map<WindowId, bool> visible;
  std::map<WindowId, std::pair<int, int>> positions;
  bool opacityWorks = true, colorKeyWorks = false;
  float lastOpacity = 1.0f;
  int presents = 0;
  int devicesOpened = 0;
  bool deviceWorks = true;
  int priorityAsked = 0;
  std::string title;
  std::string clipboard;
  bool clipboardWorks = true;
  int64_t now = 0;

  WindowId Window_Create(const std::string&, int, int, uint32_t) override {
    visible[++m_last] = false;
    return m_last;
  }
  void Window_Destroy(WindowId w) override { visible.erase(w); }
  void Window_Show(WindowId w, bool v) override { visible[w] = v; }
  void Window_SetBounds(WindowId w, int x, int y, int, int) override { positions[w] = {x, y}; }
  void Window_SetTitle(WindowId, const std::string&) override {}
  bool Window_SetOpacity(WindowId, float a) override {
    lastOpacity = a;
    return opacityWorks;
  }
  bool Window_SetColorKey(WindowId, RPixels, uint32_t) override { return colorKeyWorks; }
  void Window_Present(WindowId, RPixels) override { ++presents; }
  // The game window gets a device that records what is drawn.
  std::unique_ptr<IGraphicsDevice> Window_OpenDevice(WindowId, int w, int h) override {
    if (!deviceWorks) throw std::runtime_error("could not start OpenGL 3.3: no card");
    ++devicesOpened;
    return std::make_unique<CRecordingDevice>(w, h);
  }
  void Window_SetBusyCursor(bool) override {}
  void SetEventHandler(std::function<void(const RPlatformEvent&)>) override {}
  void PumpMessages() override { m_timers.FireDue(now); }
  void RunMessageLoop() override {}
  void QuitMessageLoop() override {}
  CTimerQueue& Timers() override { return m_timers; }
  int64_t Clock_Microseconds() override { return now; }
  void Sleep_Microseconds(int64_t us) override { now += us; }
  EAnswer MessageBox(const std::string& text, EButtons buttons, EBoxIcon, int) override {
    boxes.push_back(text);
    if (answers.empty()) return buttons == EButtons::YesNo ? EAnswer::Yes : EAnswer::Ok;
    const EAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  RDisplayMode Display_GetMode() override { return display; }
  bool Display_SetMode(const RDisplayMode& m) override {
    modeRequests.push_back(m);
    return true;
  }
  bool Process_SetPriority(int level) override {
    priorityAsked = level;
    return false;
  }
  void Application_SetTitle(const std::string& t) override { title = t; }
  bool Clipboard_SetText(const std::string& text) override {
    if (!clipboardWorks) return false;
    clipboard = text;
    return true;
  }
  bool Clipboard_GetText(std::string& text) override {
    text = clipboard;
    return clipboardWorks && !clipboard.empty();
  }

 private:
  WindowId m_last = 0;
  CTimerQueue m_timers;
};

}  // namespace tavrin::test
