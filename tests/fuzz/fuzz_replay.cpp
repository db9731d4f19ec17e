// Fuzzes the reader of --input replay files: any bytes give either events or
// one error naming a line of the text, never both and never a crash; every
// event read is one the input side can take (keys 0..255, buttons 1..3, text
// whole, steps in order).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runner/Runner_Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavrin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto replay = Replay_Parse(text, error);
  if (!replay) {
    if (error.rfind("line ", 0) != 0) std::abort();
    return 0;
  }
  if (!error.empty()) std::abort();
  int64_t last = 1;
  for (const RReplayEvent& e : replay->events) {
    if (e.step < last) std::abort();
    last = e.step;
    const RPlatformEvent& ev = e.event;
    if (e.joystick == 0 && (ev.type == RPlatformEvent::KeyDown || ev.type == RPlatformEvent::KeyUp) &&
        (ev.key < 0 || ev.key > 255))
      std::abort();
    if (e.joystick == 0 && (ev.type == RPlatformEvent::MouseDown || ev.type == RPlatformEvent::MouseUp) &&
        (ev.button < 1 || ev.button > 3))
      std::abort();
    if (e.joystick == 0 && ev.type == RPlatformEvent::Text && ev.text.empty()) std::abort();
    for (uint32_t axis : e.state.axes)
      if (axis > 65535) std::abort();
  }
  return 0;
}
