// A modal window on a real (offscreen) desktop: the error window closes on a
// key the desktop delivers, the game's window is repainted while it waits,
// and the wait sleeps instead of spinning.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/Platform.h"
#include "platform/Platform_Answers.h"
#include "platform/Platform_Quit.h"
#include "platform/Platform_Transcript.h"
#include "support/TestProcess.h"
#include "support/FontFixtureTest.h"
#include "windows/Color_Chooser.h"
#include "windows/Dialog_Modal.h"
#include "windows/Error_Window.h"

namespace tavrin {
namespace {

int64_t CpuMicros() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return int64_t(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000 + r.ru_utime.tv_usec + r.ru_stime.tv_usec;
}

// The desktop's own number of a window of ours, found by its title.
Uint32 SdlIdOf(const char* title) {
  for (Uint32 id = 1; id < 64; ++id)
    if (SDL_Window* w = SDL_GetWindowFromID(id); w && std::string(SDL_GetWindowTitle(w)) == title) return id;
  return 0;
}

class ModalWindow : public test::FontFixtureTest {
 protected:
  void SetUp() override {
    FontFixtureTest::SetUp();
    if (IsSkipped()) return;
    ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
    Platform_Install(Platform_CreateSDL(RPlatformConfig{}));
  }
  void TearDown() override {
    Platform_Install(nullptr);
    Quit_Clear();
    FontFixtureTest::TearDown();
  }
};

TEST_F(ModalWindow, ClosesOnAnInjectedKeyWhileTheGameWindowRepaintsAndSleepsWhileItWaits) {
  IPlatform& p = Platform();
  const WindowId game = p.Window_Create("game", 64, 48, 0);
  p.Window_Show(game, true);
  const WindowId modal = p.Window_Create(kErrorCaption, CErrorWindow::kWidth, CErrorWindow::kHeight, 0);
  CMemo memo({8, 8, 481, 305}, RPaintFont{"Courier New", 12, 0x000000});
  CErrorWindow window(memo, nullptr);
  window.Begin("ERROR in\r\nsomething", true);
  const TBitmap32 picture = window.Paint();
  p.Window_Present(modal, {picture.s_data.data(), picture.s_w, picture.s_h});

  // After half a second of waiting, the desktop asks for the game's window
  // to be repainted, then the player presses Enter in the error window.
  const int64_t start = p.Clock_Microseconds();
  int64_t cpuAtKey = 0, wallAtKey = 0;
  const int64_t cpuStart = CpuMicros();
  const TimerId timer = p.Timers().Create(500000, true, [&] {
    SDL_Event expose{};
    expose.type = SDL_WINDOWEVENT;
    expose.window.event = SDL_WINDOWEVENT_EXPOSED;
    expose.window.windowID = SdlIdOf("game");
    SDL_PushEvent(&expose);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = SdlIdOf(kErrorCaption);
    key.key.keysym.sym = SDLK_RETURN;
    key.key.keysym.scancode = SDL_SCANCODE_RETURN;
    SDL_PushEvent(&key);
    cpuAtKey = CpuMicros() - cpuStart;
    wallAtKey = p.Clock_Microseconds() - start;
  }, start);
  int gameRepaints = 0;
  p.RunModal(modal, [&](const RPlatformEvent& e) { window.Event(e); },
             [&] { return window.Done() || p.Clock_Microseconds() - start > 5000000; },
             [&](WindowId id) { gameRepaints += id == game; });
  p.Timers().Enable(timer, false, p.Clock_Microseconds());
  EXPECT_TRUE(window.Done());
  EXPECT_EQ(window.Result(), EErrorAnswer::Abort);  // Enter is the default button's
  EXPECT_EQ(gameRepaints, 1);
  RecordProperty("waited_us", std::to_string(wallAtKey));
  RecordProperty("cpu_us", std::to_string(cpuAtKey));
  EXPECT_GE(wallAtKey, 450000);
  EXPECT_LT(cpuAtKey, wallAtKey / 10) << "the waiting window kept the processor busy: " << cpuAtKey << " us of "
                                      << wallAtKey;
  p.Window_Destroy(modal);
  p.Window_Destroy(game);
}

// The whole way an error goes on a desktop: its own window, answered by
// the player (Alt+I: Ignore), and written to the transcript as such.
TEST_F(ModalWindow, AnErrorIsShownInItsWindowAndTheTranscriptSaysThePlayerAnswered) {
  IPlatform& p = Platform();
  const auto file = std::filesystem::temp_directory_path() / ("tavrin_shown_" + std::to_string(::getpid()));
  std::string error;
  ASSERT_TRUE(Transcript_Open(file.string(), error)) << error;
  const int64_t start = p.Clock_Microseconds();
  const TimerId timer = p.Timers().Create(200000, true, [&] {
    for (SDL_Keycode key : {SDLK_LALT, SDLK_i}) {
      SDL_Event e{};
      e.type = SDL_KEYDOWN;
      e.key.windowID = SdlIdOf(kErrorCaption);
      e.key.keysym.sym = key;
      e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
      SDL_PushEvent(&e);
    }
  }, start);
  EXPECT_EQ(Error_ShowWindow("ERROR in\r\nsomething", true), EErrorAnswer::Ignore);
  p.Timers().Enable(timer, false, p.Clock_Microseconds());
  Transcript_Close();
  const std::string transcript = test::ReadFile(file);
  EXPECT_NE(transcript.find("window: error window\ncaption: Error Messages\ntext: ERROR in\\nsomething\n"),
            std::string::npos)
      << transcript;
  EXPECT_NE(transcript.find("answer: ignore\nby: player\n"), std::string::npos) << transcript;
  std::filesystem::remove(file);
}

// A chooser on a desktop works from the keyboard alone: Tab to the red
// part, the number typed, Enter.
TEST_F(ModalWindow, TheColourChooserTakesKeysAndTypedText) {
  IPlatform& p = Platform();
  const int64_t start = p.Clock_Microseconds();
  const TimerId timer = p.Timers().Create(200000, true, [&] {
    const Uint32 id = SdlIdOf(kColorCaption);
    auto key = [&](SDL_Keycode k) {
      SDL_Event e{};
      e.type = SDL_KEYDOWN;
      e.key.windowID = id;
      e.key.keysym.sym = k;
      e.key.keysym.scancode = SDL_GetScancodeFromKey(k);
      SDL_PushEvent(&e);
    };
    key(SDLK_TAB);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = id;
    std::strcpy(text.text.text, "200");
    SDL_PushEvent(&text);
    key(SDLK_RETURN);
  }, start);
  CColorChooser chooser(0x00FF00);
  RModalLook look;
  look.caption = kColorCaption;
  EXPECT_TRUE(Modal_Run(chooser, look));
  p.Timers().Enable(timer, false, p.Clock_Microseconds());
  EXPECT_EQ(chooser.Result(), 0x00FFC8);
}

// Message boxes are in the transcript too, with their answers and where
// the answers came from; the text keeps to one line.
TEST(Transcript, MessageBoxesAndTheirAnswers) {
  const auto file = std::filesystem::temp_directory_path() / ("tavrin_transcript_" + std::to_string(::getpid()));
  std::string error;
  ASSERT_TRUE(Transcript_Open(file.string(), error)) << error;
  RPlatformConfig config;
  config.headless = true;
  config.applicationTitle = "Mygame";
  auto p = Platform_CreateSDL(config);
  Answers_Set({"no"});
  EXPECT_EQ(p->MessageBox("Quit?\r\nC:\\saves", EButtons::YesNo, EBoxIcon::Question), EAnswer::No);
  EXPECT_EQ(p->MessageBox("Done", EButtons::Ok, EBoxIcon::Information), EAnswer::Ok);
  Transcript_Close();
  EXPECT_FALSE(Transcript_Active());
  EXPECT_EQ(test::ReadFile(file),
            "window: message box\ncaption: Mygame\ntext: Quit?\\nC:\\\\saves\nbuttons: Yes | No\nanswer: No\n"
            "by: line 1\n\n"
            "window: message box\ncaption: Mygame\ntext: Done\nbuttons: OK\nanswer: OK\nby: default\n\n");
  Answers_Set({});
  Answers_SetHeadless(false);
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace tavrin
