// The platform layer: main-thread timers, and the SDL implementation run
// headless (offscreen video, message boxes answered from a file).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/Platform.h"
#include "platform/Platform_Answers.h"
#include "platform/Platform_Quit.h"

namespace tavrin {
namespace {

TEST(Timers, FireWhenDueAndRestartWhenEnabled) {
  CTimerQueue q;
  int a = 0, b = 0;
  const TimerId ta = q.Create(100, true, [&] { ++a; }, 0);
  const TimerId tb = q.Create(50, false, [&] { ++b; }, 0);
  EXPECT_EQ(q.TimeToNext(0), 100);
  EXPECT_EQ(q.FireDue(99), 0);
  EXPECT_EQ(q.FireDue(100), 1);
  EXPECT_EQ(q.FireDue(150), 0);  // next due at 200
  EXPECT_EQ(q.FireDue(200), 1);
  EXPECT_EQ(a, 2);
  q.Enable(tb, true, 1000);  // enabling counts the interval from now
  EXPECT_EQ(q.FireDue(1049), 1);  // only ta, which is overdue
  EXPECT_EQ(q.FireDue(1050), 1);
  EXPECT_EQ(b, 1);
  q.Enable(ta, false, 0);
  q.Enable(tb, false, 0);
  EXPECT_EQ(q.TimeToNext(5000), -1);
  EXPECT_FALSE(q.Enabled(ta));
  q.Enable(99, true, 0);  // an unknown timer is ignored
}

TEST(Timers, ATimerIsNotReenteredFromItsOwnCallback) {
  CTimerQueue q;
  int depth = 0, maxDepth = 0, created = 0;
  TimerId self = 0;
  self = q.Create(10, true, [&] {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    // A long callback pumps messages: it may make new timers, but is never
    // fired again itself until it returns.
    if (created++ < 3) q.Create(1, true, [] {}, 0);
    q.FireDue(1000000);
    --depth;
  }, 0);
  q.FireDue(10);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_TRUE(q.Enabled(self));
}

class HeadlessPlatform : public ::testing::Test {
 protected:
  std::unique_ptr<IPlatform> Make(const std::vector<std::string>& answers) {
    RPlatformConfig config;
    config.headless = true;
    m_answers = std::filesystem::temp_directory_path() / ("tavrin_answers_" + std::to_string(::getpid()));
    std::ofstream out(m_answers);
    for (const auto& a : answers) out << a << "\n";
    out.close();
    config.answersFile = m_answers.string();
    return Platform_CreateSDL(config);
  }
  void TearDown() override { std::filesystem::remove(m_answers); }
  std::filesystem::path m_answers;
};

TEST_F(HeadlessPlatform, MessageBoxesTakeTheirAnswersInOrderThenTheDefault) {
  auto p = Make({"no", " YES ", "", "# a comment", "ignore"});
  testing::internal::CaptureStderr();
  EXPECT_EQ(p->MessageBox("Quit?", EButtons::YesNo, EBoxIcon::Question), EAnswer::No);
  EXPECT_EQ(p->MessageBox("Sure?", EButtons::YesNo, EBoxIcon::Question, 1), EAnswer::Yes);
  // Blank lines and comments are no answers.
  EXPECT_EQ(p->MessageBox("Error", EButtons::AbortRetryIgnore, EBoxIcon::Error, 0), EAnswer::Ignore);
  EXPECT_EQ(p->MessageBox("Again", EButtons::AbortRetryIgnore, EBoxIcon::Error, 0), EAnswer::Abort);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Quit?\nSure?\nError\nAgain\n");
  EXPECT_FALSE(Answers_Refused());
}

// An answer that is not one of the box's buttons ends the run: said once,
// the quit is requested, and every later box takes its default button
// without spending the answers left.
TEST_F(HeadlessPlatform, AnAnswerThatDoesNotFitEndsTheRun) {
  auto p = Make({"retry", "yes"});
  testing::internal::CaptureStderr();
  EXPECT_EQ(p->MessageBox("Note", EButtons::OkCancel, EBoxIcon::None, 1), EAnswer::Cancel);
  EXPECT_EQ(p->MessageBox("Sure?", EButtons::YesNo, EBoxIcon::Question, 1), EAnswer::No);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("answer \"retry\" (line 1 of the answers) does not fit the message box \"Note\": its buttons "
                     "are OK, Cancel"),
            std::string::npos)
      << err;
  EXPECT_TRUE(Answers_Refused());
  EXPECT_TRUE(Quit_Requested());
  Quit_Clear();
}

TEST_F(HeadlessPlatform, WindowsPumpTimersAndTheDisplayWorkOffscreen) {
  auto p = Make({});
  const WindowId w = p->Window_Create("test", 64, 32, kWindowBorderless);
  EXPECT_NE(w, 0);
  std::vector<uint32_t> pixels(64 * 32, 0xFF336699u);
  p->Window_Present(w, {pixels.data(), 64, 32});
  p->Window_Show(w, true);
  p->Window_SetBounds(w, 10, 10, 0, 0);  // sizes below 1 are taken as 1
  const RDisplayMode mode = p->Display_GetMode();
  EXPECT_GT(mode.width, 0);
  EXPECT_EQ(mode.bitsPerPixel % 8, 0);

  int fired = 0;
  p->Timers().Create(1000, true, [&] {
    ++fired;
    p->QuitMessageLoop();
  }, p->Clock_Microseconds());
  const int64_t start = p->Clock_Microseconds();
  p->RunMessageLoop();
  EXPECT_EQ(fired, 1);
  EXPECT_GE(p->Clock_Microseconds() - start, 1000);
  p->Window_Destroy(w);
  p->Window_Show(w, true);  // a destroyed window is ignored
}

// A modal window waits asleep in the pump: the runner's timers still fire
// (here one closes the window after 300 ms), and the waiting costs little
// processor time. A quit request ends the wait at once.
TEST_F(HeadlessPlatform, AModalWindowSleepsInThePumpAndItsTimersFire) {
  auto p = Make({});
  const WindowId w = p->Window_Create("modal", 64, 32, kWindowBorderless);
  int ticks = 0;
  bool closed = false;
  const int64_t start = p->Clock_Microseconds();
  p->Timers().Create(20000, true, [&] {
    if (++ticks == 15) closed = true;
  }, start);
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  // A pump that never fires the timer gives up after three seconds.
  p->RunModal(w, [](const RPlatformEvent&) {}, [&] { return closed || p->Clock_Microseconds() - start > 3000000; },
              [](WindowId) {});
  getrusage(RUSAGE_SELF, &after);
  const int64_t wall = p->Clock_Microseconds() - start;
  auto micros = [](const rusage& r) {
    return int64_t(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000 + r.ru_utime.tv_usec + r.ru_stime.tv_usec;
  };
  EXPECT_EQ(ticks, 15);
  EXPECT_GE(wall, 300000);
  EXPECT_LT(micros(after) - micros(before), wall / 4) << "the wait kept the processor busy";

  Quit_Request();
  const int64_t again = p->Clock_Microseconds();
  p->RunModal(w, [](const RPlatformEvent&) {}, [] { return false; }, [](WindowId) {});
  EXPECT_LT(p->Clock_Microseconds() - again, 100000);
  Quit_Clear();
}

TEST_F(HeadlessPlatform, ClipboardTextRoundTripsOffscreen) {
  auto p = Make({});
  std::string text = "untouched";
  ASSERT_TRUE(p->Clipboard_SetText("grüße\nzwei Zeilen"));
  ASSERT_TRUE(p->Clipboard_GetText(text));
  EXPECT_EQ(text, "grüße\nzwei Zeilen");
  ASSERT_TRUE(p->Clipboard_SetText(""));
  EXPECT_FALSE(p->Clipboard_GetText(text));  // empty text is no text
}

}  // namespace
}  // namespace tavrin
