// The error window and its memo as models: messages in, keys, wheel and
// clicks in, the answer, the scrolling and the clipboard text out; their
// answers from the answers file; and the painted windows (the error window,
// the message dialog in a game's own skin) against their goldens.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "graphics/Graphics_Picture.h"
#include "support/FontFixtureTest.h"
#include "DialogEvents.h"
#include "support/GoldenFrame.h"
#include "windows/Error_Window.h"
#include "windows/Message_Dialog.h"

namespace tavrin {
namespace {

constexpr int kTab = 9, kEnter = 13, kShift = 16, kSpace = 32, kEscape = 27, kAlt = 18, kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36, kUp = 38,
              kDown = 40;

using test::Key;
using test::Mouse;
RPlatformEvent Of(RPlatformEvent::EType type, int y = 0) {
  RPlatformEvent e;
  e.type = type;
  e.y = y;
  return e;
}

class ErrorWindowTest : public test::FontFixtureTest {
 protected:
  void SetUp() override {
    FontFixtureTest::SetUp();
    m_dir = std::filesystem::temp_directory_path() / ("tavrin_error_window_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    if (!HasFailure()) std::filesystem::remove_all(m_dir);
    FontFixtureTest::TearDown();
  }
  // The memo as the error window has it, without the run's messages.
  static CMemo Memo() { return CMemo({8, 8, 481, 305}, RPaintFont{"Courier New", 12, 0x000000}); }
  void ExpectGolden(const TBitmap32& picture, const std::string& name) {
    const std::filesystem::path file = m_dir / name;
    const std::vector<uint8_t> png = Picture_EncodePNG(picture);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    EXPECT_EQ(test::Golden_Compare(file, std::filesystem::path(TAVRIN_TESTS_DIR) / "windows" / "golden" / name, 0,
                                   m_dir / "failures"),
              "");
  }
  std::filesystem::path m_dir;
};

// ------------------------------------------------------------------ the memo

TEST_F(ErrorWindowTest, TheMemoWrapsLongLinesAndScrollsByKeysAndWheel) {
  CMemo memo = Memo();
  const int page = memo.PageLines();
  ASSERT_GT(page, 5);
  const std::string longLine(30, 'x');
  memo.Append(longLine + " " + longLine + " " + longLine + " end");  // wider than the memo
  EXPECT_GT(memo.ShownLines(), 1);
  EXPECT_EQ(memo.Lines().size(), 1u);
  memo.Clear();
  for (int i = 0; i < page * 3; ++i) memo.Append("line " + std::to_string(i));
  const int last = page * 3 - page;  // the top line when the end is in view
  struct RCase {
    const char* name;
    int start;
    RPlatformEvent event;
    int top;
  };
  const RCase cases[] = {
      {"down moves one line", 0, Key(kDown), 1},
      {"up at the top stays", 0, Key(kUp), 0},
      {"page down moves a page", 0, Key(kPageDown), page},
      {"page up from the middle", page + 2, Key(kPageUp), 2},
      {"end shows the last page", 0, Key(kEnd), last},
      {"down at the end stays", last, Key(kDown), last},
      {"home goes to the top", last, Key(kHome), 0},
      {"the wheel turned away scrolls toward the top", 6, Of(RPlatformEvent::MouseWheel, 1), 3},
      {"the wheel turned toward the player scrolls down", 0, Of(RPlatformEvent::MouseWheel, -2), 6},
  };
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.name);
    memo.ScrollTo(c.start);
    if (c.event.type == RPlatformEvent::MouseWheel) memo.Wheel(c.event.y);
    else EXPECT_TRUE(memo.KeyDown(c.event.key));
    EXPECT_EQ(memo.Top(), c.top);
  }
  EXPECT_FALSE(memo.KeyDown('A'));

  // Clicks on the scroll bar's track page toward them; elsewhere they are
  // not the memo's.
  const RPaintRect r = memo.Rect();
  const int barX = r.x + r.w - CMemo::kScrollBarW / 2;
  memo.ScrollTo(page);
  EXPECT_TRUE(memo.Click(barX, r.y + r.h - 3));  // below the thumb
  EXPECT_EQ(memo.Top(), 2 * page);
  EXPECT_TRUE(memo.Click(barX, r.y + 3));  // above it
  EXPECT_EQ(memo.Top(), page);
  EXPECT_FALSE(memo.Click(r.x + 10, r.y + 10));
  EXPECT_EQ(memo.Top(), page);

  // The thumb dragged to the foot of the track shows the last lines, half
  // way some in the middle, above the track the first; once let go it no
  // longer follows the mouse.
  memo.ScrollTo(0);
  EXPECT_TRUE(memo.Click(barX, r.y + 3));  // on the thumb
  memo.Drag(r.y + 2 * r.h);
  EXPECT_EQ(memo.Top(), last);
  memo.Drag(r.y + r.h / 2);
  EXPECT_GT(memo.Top(), last / 4);
  EXPECT_LT(memo.Top(), last - last / 4);
  memo.Drag(r.y - 50);
  EXPECT_EQ(memo.Top(), 0);
  memo.Release();
  memo.Drag(r.y + r.h);
  EXPECT_EQ(memo.Top(), 0);
  memo.Clear();
  EXPECT_EQ(memo.Top(), 0);
  EXPECT_EQ(memo.ShownLines(), 0);
}

// ------------------------------------------------------------------ the window

TEST_F(ErrorWindowTest, EachMessageIsAddedUnderARuleOneLinePerCR) {
  CMemo memo = Memo();
  CErrorWindow w(memo, nullptr);
  w.Begin("ERROR in\r\naction number 1\rlast\r", true);
  w.Begin("second", false);
  const std::vector<std::string> expected = {"", std::string(43, '_'), "ERROR in", "action number 1", "last", "",
                                             "", std::string(43, '_'), "second"};
  EXPECT_EQ(memo.Lines(), expected);
  EXPECT_EQ(memo.Top(), std::max(memo.ShownLines() - memo.PageLines(), 0));
}

TEST_F(ErrorWindowTest, KeysClicksAndTheCloseBoxMatrix) {
  const RPaintRect abort = CErrorWindow::ButtonRect(CErrorWindow::kAbort),
                   ignore = CErrorWindow::ButtonRect(CErrorWindow::kIgnore);
  auto click = [](const RPaintRect& r) {
    return std::vector<RPlatformEvent>{Mouse(RPlatformEvent::MouseDown, r.x + 3, r.y + 3),
                                       Mouse(RPlatformEvent::MouseUp, r.x + 3, r.y + 3)};
  };
  struct RCase {
    const char* name;
    bool canIgnore;
    std::vector<RPlatformEvent> events;
    bool done;
    EErrorAnswer answer;
  };
  const RCase cases[] = {
      {"Enter is Abort, the default button", true, {Key(kEnter)}, true, EErrorAnswer::Abort},
      {"Escape does nothing: there is no Cancel", true, {Key(kEscape)}, false, EErrorAnswer::Abort},
      {"the close box aborts", true, {Of(RPlatformEvent::WindowClose)}, true, EErrorAnswer::Abort},
      {"Alt+I ignores", true, {Key(kAlt), Key('I')}, true, EErrorAnswer::Ignore},
      {"I alone is not a shortcut", true, {Key('I')}, false, EErrorAnswer::Abort},
      {"Alt+I does nothing without Ignore", false, {Key(kAlt), Key('I')}, false, EErrorAnswer::Abort},
      {"Alt released: the letter is a letter", true, {Key(kAlt), Key(kAlt, false), Key('A')}, false,
       EErrorAnswer::Abort},
      {"Alt+A aborts", true, {Key(kAlt), Key('A')}, true, EErrorAnswer::Abort},
      {"Tab moves to Abort, again to Ignore; Space presses it", true, {Key(kTab), Key(kTab), Key(kSpace)}, true,
       EErrorAnswer::Ignore},
      {"Enter presses the button that has the keyboard", true, {Key(kTab), Key(kTab), Key(kEnter)}, true,
       EErrorAnswer::Ignore},
      {"Tab passes a hidden Ignore", false, {Key(kTab), Key(kTab), Key(kEnter)}, false, EErrorAnswer::Abort},
      {"Shift+Tab goes back from the memo to Clear", true, {Key(kShift), Key(kTab), Key(kSpace)}, false,
       EErrorAnswer::Abort},
      {"Space with the memo's keyboard does nothing", true, {Key(kSpace)}, false, EErrorAnswer::Abort},
      {"a click on Ignore ignores", true, click(ignore), true, EErrorAnswer::Ignore},
      {"a click where Ignore would be, when hidden, does nothing", false, click(ignore), false,
       EErrorAnswer::Abort},
      {"a click on Abort aborts", false, click(abort), true, EErrorAnswer::Abort},
      {"pressed on Abort, released on Ignore: nothing", true,
       {Mouse(RPlatformEvent::MouseDown, abort.x + 3, abort.y + 3),
        Mouse(RPlatformEvent::MouseUp, ignore.x + 3, ignore.y + 3)},
       false, EErrorAnswer::Abort},
  };
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.name);
    CMemo memo = Memo();
    CErrorWindow w(memo, nullptr);
    w.Begin("boom", c.canIgnore);
    for (const RPlatformEvent& e : c.events) w.Event(e);
    EXPECT_EQ(w.Done(), c.done);
    EXPECT_EQ(w.Result(), c.answer);  // a window left open without Ignore counts as Abort
  }
}

TEST_F(ErrorWindowTest, CopyKeepsTheViewAndClearEmptiesTheMemo) {
  CMemo memo = Memo();
  std::string clipboard;
  CErrorWindow w(memo, [&](const std::string& text) { clipboard = text; });
  for (int i = 0; i < 40; ++i) w.Begin("error " + std::to_string(i), true);
  memo.ScrollTo(7);
  w.Event(Key(kAlt));
  w.Event(Key('C'));
  EXPECT_FALSE(w.Done());
  EXPECT_EQ(memo.Top(), 7);
  EXPECT_EQ(clipboard.rfind("\n" + std::string(43, '_') + "\nerror 0\n\n", 0), 0u) << clipboard.substr(0, 60);
  EXPECT_EQ(clipboard, memo.Text());
  const RPaintRect clear = CErrorWindow::ButtonRect(CErrorWindow::kClear);
  w.Event(Mouse(RPlatformEvent::MouseDown, clear.x + 1, clear.y + 1));
  w.Event(Mouse(RPlatformEvent::MouseUp, clear.x + 1, clear.y + 1));
  EXPECT_TRUE(memo.Lines().empty());
  EXPECT_FALSE(w.Done());
}

TEST_F(ErrorWindowTest, AnswersFromTheAnswersFile) {
  struct RCase {
    const char* line;  // null: no line
    bool canIgnore;
    bool fits;
    EErrorAnswer answer;
  };
  const RCase cases[] = {
      {"error: ignore", true, true, EErrorAnswer::Ignore},  {"  ERROR:Ignore ", true, true, EErrorAnswer::Ignore},
      {"error: abort", true, true, EErrorAnswer::Abort},    {"error: abort", false, true, EErrorAnswer::Abort},
      {"error: ignore", false, false, EErrorAnswer::Abort}, {"error: retry", true, false, EErrorAnswer::Abort},
      {"ignore", true, false, EErrorAnswer::Abort},         {nullptr, true, true, EErrorAnswer::Abort},
  };
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.line ? c.line : "(none)");
    CMemo memo = Memo();
    CErrorWindow w(memo, nullptr);
    w.Begin("boom", c.canIgnore);
    const std::string line = c.line ? c.line : "";
    const std::string why = w.Answer(c.line ? &line : nullptr);
    EXPECT_EQ(why.empty(), c.fits) << why;
    EXPECT_EQ(w.Result(), c.answer);
    if (!c.fits) {
      EXPECT_EQ(w.Record().answer, "none");
    }
  }
  EXPECT_TRUE(Error_IsAnswer(" Error : abort"));
  EXPECT_FALSE(Error_IsAnswer("abort"));  // a line for another window
}

// ------------------------------------------------------------------ pictures

TEST_F(ErrorWindowTest, TheErrorWindowMatchesItsGolden) {
  CMemo memo = Memo();
  CErrorWindow w(memo, nullptr);
  w.Begin("ERROR in\r\naction number 2\r\nof  Step Event\r\nfor object obj_player:\r\n\r\n"
          "Error in code at line 3:\r   x = y +;\r           ^\rat position 10: Unexpected symbol in expression.",
          true);
  w.Begin("FATAL ERROR in\r\naction number 1\r\nof Create Event\r\nfor object obj_boss:\r\n\r\n"
          "Trying to set a non-existing message background",
          false);
  // The mouse over Copy.
  const RPaintRect copy = CErrorWindow::ButtonRect(CErrorWindow::kCopy);
  w.Event(Mouse(RPlatformEvent::MouseMove, copy.x + 5, copy.y + 5));
  const TBitmap32 picture = w.Paint();
  EXPECT_EQ(picture.s_w, 499);
  EXPECT_EQ(picture.s_h, 361);
  ExpectGolden(picture, "error.png");
}

// The game's own skin: a background with a see-through corner colour, and
// buttons from a sprite's three frames.
TEST_F(ErrorWindowTest, TheMessageDialogInAGameSkinMatchesItsGolden) {
  RMessageSkin skin;
  skin.background = TBitmap32(300, 120, 0xFF203040u);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 300; ++x)
      if ((x / 10 + y / 10) % 2 == 0) skin.background.SetPixel(x, y, 0xFF283C50u);
  skin.backgroundKeyed = true;
  const TColor32 faces[] = {0xFF6A8A3Cu, 0xFF8AB04Cu, 0xFF4A6A2Cu};
  for (int state = 0; state < 3; ++state) {
    TBitmap32 b(70, 22, faces[state]);
    // A masked corner: the key colour (bottom-left) is not drawn.
    b.SetPixel(0, 21, 0xFFFF00FFu);
    b.SetPixel(0, 0, 0xFFFF00FFu);
    b.SetPixel(69, 0, 0xFFFF00FFu);
    skin.buttons[size_t(state)] = b;
  }
  skin.buttonsMasked = true;
  skin.text.color = 0x00FFFF;  // 0xBBGGRR: yellow
  skin.button.color = 0x202020;
  skin.mouseColor = 0xFFFFFF;
  CMessageDialog d(skin, "The door is locked.\rUse the key?", {"&Yes", "", "&No"}, false);
  const RPaintRect no = d.ButtonRect(3);
  d.Event(Mouse(RPlatformEvent::MouseMove, no.x + 2, no.y + 2));
  const TBitmap32 picture = d.Paint();
  EXPECT_EQ(picture.s_w, 300);
  // The mouse is over No: its second picture, but not its masked corner.
  EXPECT_EQ(picture.GetPixel(no.x + 5, no.y + 2), faces[1]);
  EXPECT_NE(picture.GetPixel(no.x, no.y + no.h - 1), faces[1]);
  EXPECT_NE(picture.GetPixel(no.x, no.y + no.h - 1), 0xFFFF00FFu);
  ExpectGolden(picture, "message_skin.png");
}

}  // namespace
}  // namespace tavrin
