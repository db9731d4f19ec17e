// The message dialog and its text field as models: keys, text and clicks in,
// the button chosen and the text out; its answers from the answers file;
// its layout and its painted picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "graphics/Graphics_Picture.h"
#include "support/FontFixtureTest.h"
#include "DialogEvents.h"
#include "support/GoldenFrame.h"
#include "windows/Function_Dialogs.h"
#include "windows/Message_Dialog.h"

namespace tavrin {
namespace {

constexpr int kBackspace = 8, kEnter = 13, kShift = 16, kCtrl = 17, kEscape = 27, kEnd = 35, kHome = 36, kLeft = 37,
              kRight = 39, kDelete = 46;

using test::Key;
using test::Mouse;
using test::Typed;

// ------------------------------------------------------------------ the text field

TEST(TextField, EditingKeys) {
  // Each step is a key (shift and ctrl as given) or typed text; "|" marks the
  // caret in the expected text, "[...]" the selection.
  struct RStep {
    int key = 0;
    bool shift = false, ctrl = false;
    std::string typed;
  };
  auto K = [](int key, bool shift = false, bool ctrl = false) { return RStep{key, shift, ctrl, {}}; };
  auto T = [](const char* text) { return RStep{0, false, false, text}; };
  struct RCase {
    const char* name;
    const char* start;
    bool selectAll;
    std::vector<RStep> steps;
    const char* text;
    size_t caret, selFrom, selTo;
  };
  const RCase cases[] = {
      {"typing replaces what is selected", "42", true, {T("7")}, "7", 1, 1, 1},
      {"left collapses a selection to its start", "abc", true, {K(kLeft)}, "abc", 0, 0, 0},
      {"right collapses it to its end", "abc", true, {K(kHome), K(kRight, true), K(kRight, true), K(kRight)}, "abc", 2, 2, 2},
      {"home, then typing inserts in front", "bc", false, {K(kHome), T("a")}, "abc", 1, 1, 1},
      {"backspace removes the character before the caret", "abc", false, {K(kLeft), K(kBackspace)}, "ac", 1, 1, 1},
      {"delete removes the one after it", "abc", false, {K(kHome), K(kDelete)}, "bc", 0, 0, 0},
      {"backspace at the start and delete at the end do nothing", "ab", false,
       {K(kDelete), K(kHome), K(kBackspace)}, "ab", 0, 0, 0},
      {"shift stretches the selection, delete removes it", "hello", false,
       {K(kHome), K(kRight), K(kRight, true), K(kRight, true), K(kDelete)}, "hlo", 1, 1, 1},
      {"end after shift-home selects nothing", "abc", false, {K(kHome, true), K(kEnd)}, "abc", 3, 3, 3},
      {"ctrl+a selects everything", "abc", false, {K('A', false, true)}, "abc", 3, 0, 3},
      {"a is just a letter without ctrl", "abc", false, {K('A')}, "abc", 3, 3, 3},
      {"characters move whole, never half", "añb", false, {K(kLeft), K(kLeft), K(kBackspace)}, "ñb", 0, 0, 0},
      {"backspace removes a whole character", "añ", false, {K(kBackspace)}, "a", 1, 1, 1},
      {"control characters are not typed", "", false, {T("a\tb\x7f")}, "ab", 2, 2, 2},
  };
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.name);
    CTextField f;
    f.SetText(c.start);
    if (c.selectAll) f.SelectAll();
    for (const RStep& s : c.steps) {
      if (s.typed.empty())
        f.KeyDown(s.key, s.shift, s.ctrl);
      else
        f.Type(s.typed);
    }
    EXPECT_EQ(f.Text(), c.text);
    EXPECT_EQ(f.Caret(), c.caret);
    EXPECT_EQ(f.SelectionStart(), c.selFrom);
    EXPECT_EQ(f.SelectionEnd(), c.selTo);
  }
}

// ------------------------------------------------------------------ the dialog

TEST(MessageDialog, KeyMatrix) {
  struct RCase {
    const char* name;
    std::array<std::string, 3> buttons;
    bool input;
    std::vector<RPlatformEvent> events;
    bool done;
    int result;
    const char* text;  // the field's text afterwards (input dialogs)
  };
  const RCase cases[] = {
      {"enter takes the first shown button", {"", "OK", ""}, false, {Key(kEnter)}, true, 2, ""},
      {"a blank is enter without a field", {"Yes", "", "No"}, false, {Typed(" ")}, true, 1, ""},
      {"escape gives 0", {"Yes", "", "No"}, false, {Key(kEscape)}, true, 0, ""},
      {"without buttons enter and blank do nothing", {"", "", ""}, false, {Key(kEnter), Typed(" ")}, false, 0, ""},
      {"...and escape still closes", {"", "", ""}, false, {Key(kEnter), Key(kEscape)}, true, 0, ""},
      {"a shortcut letter either case", {"Abort", "&Retry", "Ignore"}, false, {Typed("r")}, true, 2, ""},
      {"the last & with a character after it wins", {"A&b&c", "", "x&"}, false, {Typed("B")}, false, 0, ""},
      {"...so c chooses it", {"A&b&c", "", "x&"}, false, {Typed("C")}, true, 1, ""},
      {"a trailing & is no shortcut", {"A&b&c", "", "x&"}, false, {Typed("&")}, false, 0, ""},
      {"ctrl with the shortcut's key", {"&Save", "", "&Quit"}, false, {Key(kCtrl), Key('Q')}, true, 3, ""},
      {"the key alone is nothing", {"&Save", "", "&Quit"}, false, {Key('Q')}, false, 0, ""},
      {"ctrl released is no longer held", {"&Save", "", "&Quit"}, false, {Key(kCtrl), Key(kCtrl, false), Key('Q')},
       false, 0, ""},
      {"in a field a blank is typed", {"", "OK", ""}, true, {Key(kEnd), Typed(" x")}, false, 0, "ab x"},
      {"in a field letters are no shortcuts", {"", "&OK", ""}, true, {Typed("o")}, false, 0, "o"},
      {"in a field ctrl with a shortcut still chooses", {"", "&OK", ""}, true, {Key(kCtrl), Key('O')}, true, 2, "ab"},
      {"ctrl+c of no shown button neither closes nor types", {"", "OK", ""}, true, {Key(kCtrl), Key('C')}, false, 0,
       "ab"},
      {"escape keeps what was typed", {"", "OK", ""}, true, {Typed("new"), Key(kEscape)}, true, 0, "new"},
      {"enter in a field chooses OK", {"", "OK", ""}, true, {Key(kBackspace), Key(kEnter)}, true, 2, ""},
      {"the close box is escape", {"Yes", "", "No"}, false, {[] { RPlatformEvent e; e.type = RPlatformEvent::WindowClose; return e; }()}, true, 0, ""},
  };
  RMessageSkin skin;
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.name);
    CMessageDialog d(skin, "Text", c.buttons, c.input, "ab");
    for (const RPlatformEvent& e : c.events) d.Event(e);
    EXPECT_EQ(d.Done(), c.done);
    EXPECT_EQ(d.Result(), c.result);
    if (c.input) {
      EXPECT_EQ(d.InputText(), c.text);
    }
  }
}

TEST(MessageDialog, AClickIsAPressAndAReleaseOnOneButton) {
  RMessageSkin skin;
  CMessageDialog d(skin, "Text", {"Yes", "Maybe", "No"}, false);
  const RPaintRect yes = d.ButtonRect(1), no = d.ButtonRect(3);
  d.Event(Mouse(RPlatformEvent::MouseDown, yes.x + 2, yes.y + 2));
  d.Event(Mouse(RPlatformEvent::MouseUp, no.x + 2, no.y + 2));  // dragged off: nothing
  EXPECT_FALSE(d.Done());
  d.Event(Mouse(RPlatformEvent::MouseDown, no.x + 2, no.y + 2));
  d.Event(Mouse(RPlatformEvent::MouseUp, no.x + no.w - 1, no.y + no.h - 1));
  EXPECT_TRUE(d.Done());
  EXPECT_EQ(d.Result(), 3);
}

TEST(MessageDialog, AnswersFromTheAnswersFile) {
  struct RCase {
    std::array<std::string, 3> buttons;
    bool input;
    const char* answer;  // null: no line left
    bool fits;
    int result;
    const char* text;
  };
  const RCase cases[] = {
      {{"Yes", "", "No"}, false, "no", true, 3, ""},
      {{"Yes", "", "No"}, false, " YES ", true, 1, ""},
      {{"&Save", "Don't save", "Cancel"}, false, "save", true, 1, ""},
      {{"&Save", "Don't save", "Cancel"}, false, "don't save", true, 2, ""},
      {{"&Save", "", "Cancel"}, false, "button 3", true, 3, ""},
      {{"&Save", "", "Cancel"}, false, "button 2", false, 0, ""},  // hidden
      {{"Yes", "", "No"}, false, "escape", true, 0, ""},
      {{"Yes", "", "No"}, false, "default", true, 1, ""},
      {{"Yes", "", "No"}, false, nullptr, true, 1, ""},
      {{"", "", ""}, false, nullptr, false, 0, ""},  // nothing to take by default
      {{"", "", ""}, false, "escape", true, 0, ""},
      {{"Yes", "", "No"}, false, "text: hello", false, 0, ""},
      {{"Yes", "", "No"}, false, "ok", false, 0, ""},
      {{"Yes", "", "No"}, false, "42", false, 0, ""},
      {{"", "OK", ""}, true, "text: two  words ", true, 2, "two  words "},
      {{"", "OK", ""}, true, "TEXT:", true, 2, ""},
      {{"", "OK", ""}, true, "-17", true, 2, "-17"},
      {{"", "OK", ""}, true, "ok", true, 2, "start"},
      {{"", "OK", ""}, true, "escape", true, 0, "start"},
      {{"", "OK", ""}, true, "yes", false, 0, "start"},
  };
  RMessageSkin skin;
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.answer ? c.answer : "(none)");
    CMessageDialog d(skin, "Question", c.buttons, c.input, "start");
    const std::string line = c.answer ? c.answer : "";
    const std::string why = d.Answer(c.answer ? &line : nullptr);
    EXPECT_EQ(why.empty(), c.fits) << why;
    if (!c.fits) continue;
    EXPECT_TRUE(d.Done());
    EXPECT_EQ(d.Result(), c.result);
    if (c.input) {
      EXPECT_EQ(d.InputText(), c.text);
    }
  }
}

TEST(MessageDialog, ARefusalNamesTheButtonsThatWouldFit) {
  RMessageSkin skin;
  CMessageDialog d(skin, "Really quit?", {"&Yes", "", "&No"}, false);
  const std::string answer = "maybe";
  EXPECT_EQ(d.Answer(&answer), "its buttons are yes, no");
  EXPECT_EQ(d.Description(), "the message dialog \"Really quit?\"");
}

// ------------------------------------------------------------------ values and numbers

TEST(DialogText, ValuesAndTypedIntegers) {
  const std::pair<RValue, const char*> values[] = {
      {RValue::Real(2.5), "2.50"},        {RValue::Real(3), "3"},          {RValue::Real(-4), "-4"},
      {RValue::Real(1.0 / 3), "0.33"},    {RValue::Real(1234567.891), "1234567.89"},
      {RValue::Real(123456789.25), "123456789.2"}, {RValue::Real(1e12 + 0.5), "1000000000000"},
      {RValue::String("a#b"), "a#b"},
  };
  for (const auto& [v, text] : values) EXPECT_EQ(Dialog_ValueText(v), text);

  const std::pair<const char*, std::optional<int32_t>> integers[] = {
      {"42", 42},   {" -7 ", -7}, {"+5", 5},           {"2147483647", 2147483647}, {"2147483648", std::nullopt},
      {"", std::nullopt}, {"4.5", std::nullopt}, {"12abc", std::nullopt}, {"+-3", std::nullopt},
  };
  for (const auto& [text, want] : integers) {
    SCOPED_TRACE(text);
    int32_t n = 0;
    EXPECT_EQ(Dialog_ParseInteger(text, n), want.has_value());
    if (want) {
      EXPECT_EQ(n, *want);
    }
  }
}

// ------------------------------------------------------------------ layout and painting

// Pictures and sizes drawn with the fixture face; the pictures of a test
// that failed are kept for a look.
class DialogPicture : public test::FontFixtureTest {
 protected:
  void SetUp() override {
    FontFixtureTest::SetUp();
    m_dir = std::filesystem::temp_directory_path() / ("tavrin_dialog_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    if (!HasFailure()) std::filesystem::remove_all(m_dir);
    FontFixtureTest::TearDown();
  }
  std::filesystem::path m_dir;
};

TEST_F(DialogPicture, LayoutFollowsTheSkin) {
  RMessageSkin skin;
  CMessageDialog plain(skin, "One line", {"Yes", "Maybe", "No"}, false);
  EXPECT_EQ(plain.Width(), 320);
  const int lineH = plain.Height() - 25 - 48;
  EXPECT_GT(lineH, 8);
  EXPECT_EQ(plain.ButtonRect(1).x, 24);
  EXPECT_EQ(plain.ButtonRect(2).x, 120);
  EXPECT_EQ(plain.ButtonRect(3).x, 216);
  EXPECT_EQ(plain.ButtonRect(3).y, plain.Height() - 25 - 16);

  CMessageDialog twoLines(skin, "One\rTwo", {"", "OK", ""}, false);
  EXPECT_EQ(twoLines.Height(), plain.Height() + lineH);
  CMessageDialog input(skin, "One line", {"", "OK", ""}, true);
  EXPECT_EQ(input.FieldRect().y + input.FieldRect().h + 16, input.ButtonRect(1).y);
  EXPECT_EQ(input.Height(), plain.Height() + input.FieldRect().h + 16);

  skin.width = 400;
  skin.height = 0;
  CMessageDialog wide(skin, "One line", {"Yes", "", "No"}, false);
  EXPECT_EQ(wide.Width(), 400);
  EXPECT_EQ(wide.Height(), plain.Height());
  EXPECT_EQ(wide.ButtonRect(3).x, 400 - 80 - 24);
}

// Skins without pixels, and a dialog narrower than its margins, give a
// plain dialog: nothing is read outside a picture, no size goes below 0.
TEST_F(DialogPicture, EmptySkinPicturesAndNarrowSizesGiveAPlainDialog) {
  RMessageSkin plainSkin;
  const TBitmap32 plain = CMessageDialog(plainSkin, "Hello", {"", "OK", ""}, false).Paint();

  RMessageSkin empty;
  empty.background = TBitmap32();
  empty.buttons = {TBitmap32(), TBitmap32(), TBitmap32()};
  EXPECT_EQ(CMessageDialog(empty, "Hello", {"", "OK", ""}, false).Paint(), plain);

  RMessageSkin narrow;
  narrow.width = 20;
  narrow.height = 10;
  CMessageDialog tiny(narrow, "A text that cannot fit", {"Yes", "", "No"}, true, "typed");
  const TBitmap32 picture = tiny.Paint();
  EXPECT_EQ(picture.s_w, 20);
  EXPECT_EQ(picture.s_h, 10);
  EXPECT_GE(tiny.FieldRect().w, 0);
}

TEST_F(DialogPicture, ThePaintedDialogMatchesItsGolden) {
  RMessageSkin skin;
  CMessageDialog d(skin, "Save the game before you quit?\rYour progress is kept.", {"&Save", "Don't save", "Cancel"},
                   false);
  // The mouse held on the second button shows its pressed picture.
  const RPaintRect middle = d.ButtonRect(2);
  d.Event(Mouse(RPlatformEvent::MouseDown, middle.x + 4, middle.y + 4));
  TBitmap32 message = d.Paint();

  CMessageDialog input(skin, "Your name:", {"", "OK", ""}, true, "Ada");
  TBitmap32 asked = input.Paint();

  for (const auto& [name, picture] : {std::pair{"message.png", &message}, std::pair{"input.png", &asked}}) {
    const std::filesystem::path file = m_dir / name;
    const std::vector<uint8_t> png = Picture_EncodePNG(*picture);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    EXPECT_EQ(test::Golden_Compare(file, std::filesystem::path(TAVRIN_TESTS_DIR) / "windows" / "golden" / name, 0,
                                   m_dir / "failures"),
              "");
  }
}

}  // namespace
}  // namespace tavrin
