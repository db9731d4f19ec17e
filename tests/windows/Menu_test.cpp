// The pop-up menu as a model (its item text, keys, letters, clicks and
// answers), and show_menu in a running game answered from --answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "graphics/Graphics_Picture.h"
#include "support/FontFixtureTest.h"
#include "support/GoldenFrame.h"

#include "support/TestFolder.h"
#include "support/TestProcess.h"
#include "windows/Menu_Popup.h"

namespace tavrin {
namespace {

constexpr int kEnter = 13, kEscape = 27, kEnd = 35, kHome = 36, kUp = 38, kDown = 40;

TEST(PopupMenu, ItemTextBecomesNumberedItemsAndSeparators) {
  struct RCase {
    const char* items;
    const char* expected;  // entries as "n:text", "-" for a separator
  } cases[] = {
      {"Load|-|Quit", "0:Load - 1:Quit "},
      {"", ""},
      {"A|", "0:A "},
      {"A||B", "0:A 1: 2:B "},
      {"|", "0: "},
      {"-|-", "- - "},
      {"a-|--|-", "0:a- 1:-- - "},
  };
  for (const RCase& c : cases) {
    std::string got;
    for (const RMenuEntry& e : Menu_Parse(c.items))
      got += e.separator ? std::string("- ") : std::to_string(e.number) + ":" + e.text + " ";
    EXPECT_EQ(got, c.expected) << c.items;
  }
}

RPlatformEvent Key(int key) {
  RPlatformEvent e;
  e.type = RPlatformEvent::KeyDown;
  e.key = key;
  return e;
}
RPlatformEvent Typed(const char* text) {
  RPlatformEvent e;
  e.type = RPlatformEvent::Text;
  e.text = text;
  return e;
}

TEST(PopupMenu, Keys) {
  // Each case: keys (a negative number types that letter), then the chosen
  // item (-1 dismissed) or, when the menu is still open, the highlighted one.
  struct RCase {
    const char* name;
    const char* items;
    std::vector<RPlatformEvent> events;
    bool done;
    int result;
  };
  const RCase cases[] = {
      {"down then enter chooses the first item", "Load|-|Quit", {Key(kDown), Key(kEnter)}, true, 0},
      {"down passes over separators", "Load|-|Quit", {Key(kDown), Key(kDown), Key(kEnter)}, true, 1},
      {"up from nothing goes to the last item", "Load|Save|Quit", {Key(kUp), Key(kEnter)}, true, 2},
      {"down wraps round the end", "Load|Quit", {Key(kDown), Key(kDown), Key(kDown)}, false, 0},
      {"home and end", "-|A|B|C|-", {Key(kEnd), Key(kHome)}, false, 0},
      {"end", "-|A|B|C|-", {Key(kHome), Key(kEnd), Key(kEnter)}, true, 2},
      {"enter with nothing highlighted does nothing", "A|B", {Key(kEnter)}, false, -1},
      {"escape dismisses", "A|B", {Key(kDown), Key(kEscape)}, true, -1},
      {"a letter that picks one item chooses it", "Load|-|Quit", {Typed("q")}, true, 1},
      {"an & letter picks its item", "Save|Save &as|Quit", {Typed("A")}, true, 1},
      {"a letter shared by items moves between them", "Save|Quit|Start", {Typed("s"), Typed("s")}, false, 2},
      {"a letter of no item does nothing", "Load|Quit", {Typed("x")}, false, -1},
      {"keys in an empty menu do nothing but escape", "", {Key(kDown), Key(kEnter), Key(kEscape)}, true, -1},
      {"a menu of separators has nothing to highlight", "-|-", {Key(kDown), Key(kEnter)}, false, -1},
  };
  for (const RCase& c : cases) {
    CPopupMenu menu(c.items);
    for (const RPlatformEvent& e : c.events) menu.Event(e);
    EXPECT_EQ(menu.Done(), c.done) << c.name;
    EXPECT_EQ(c.done ? menu.Chosen() : menu.Highlighted(), c.result) << c.name;
  }
}

TEST(PopupMenu, Mouse) {
  auto At = [](RPlatformEvent::EType type, const RPaintRect& r) {
    RPlatformEvent e;
    e.type = type;
    e.button = 1;
    e.x = r.x + r.w / 2;
    e.y = r.y + r.h / 2;
    return e;
  };
  CPopupMenu menu("Load|-|Quit");
  menu.Event(At(RPlatformEvent::MouseDown, menu.EntryRect(1)));
  menu.Event(At(RPlatformEvent::MouseUp, menu.EntryRect(1)));
  EXPECT_FALSE(menu.Done()) << "a separator chooses nothing";
  menu.Event(At(RPlatformEvent::MouseUp, menu.EntryRect(2)));
  ASSERT_TRUE(menu.Done());
  EXPECT_EQ(menu.Chosen(), 1);

  CPopupMenu beside("Load|Quit");
  beside.Event(At(RPlatformEvent::MouseDown, {beside.Width() + 10, 0, 2, 2}));
  EXPECT_TRUE(beside.Done());
  EXPECT_EQ(beside.Chosen(), -1);
}

TEST(PopupMenu, Answers) {
  struct RCase {
    const char* answer;  // nullptr: no line left
    int chosen;          // -2: refused
  } cases[] = {
      {"item 1", 1}, {"Quit", 1}, {" save AS ", 2}, {"escape", -1}, {"default", -1}, {nullptr, -1},
      {"item 3", -2}, {"item -1", -2}, {"item x", -2}, {"Exit", -2}, {"-", -2},
  };
  for (const RCase& c : cases) {
    CPopupMenu menu("Load|-|Quit|Save &as");
    const std::string line = c.answer ? c.answer : "";
    const std::string why = menu.Answer(c.answer ? &line : nullptr);
    if (c.chosen == -2) {
      EXPECT_EQ(why, "its items are 0 to 2: \"load, quit, save as\"") << line;
      EXPECT_FALSE(menu.Done()) << line;
    } else {
      EXPECT_EQ(why, "") << line;
      EXPECT_EQ(menu.Chosen(), c.chosen) << line;
    }
  }
}

class MenuRun : public test::FolderTest {
 protected:
  MenuRun() : FolderTest("menurun") {}
  test::RRun Play(const std::string& code, const std::string& answers) {
    std::ofstream(m_dir / "game.tvs") << code;
    std::ofstream(m_dir / "answers.txt") << answers;
    return test::RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--code", (m_dir / "game.tvs").string(),
                             "--answers", (m_dir / "answers.txt").string()},
                            {"TAVRIN_HOME=" + (m_dir / "home").string()});
  }
};

TEST_F(MenuRun, MenusTakeTheirLinesAndTheDefaultWhenDismissed) {
  const test::RRun r = Play(
      "show_debug_message(string(show_menu(\"Load|-|Quit\", -1)));\n"
      "show_debug_message(string(show_menu_pos(10, 20, \"Load|-|Quit\", 7)));\n"
      "show_debug_message(string(show_menu(\"A||B\", 5)));\n"
      "show_debug_message(string(show_menu(\"Load|Quit\", 3)));\n",
      "quit\nescape\nitem 1\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1\n7\n1\n3\n");
}

TEST_F(MenuRun, AnAnswerThatDoesNotFitEndsTheRun) {
  const test::RRun r = Play("show_menu(\"Load|Quit\", -1);\nshow_debug_message(\"not reached\");\n", "item 2\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.find("not reached"), std::string::npos);
  EXPECT_NE(r.err.find("answer \"item 2\" (line 1 of the answers) does not fit the menu \"load, quit\": its items "
                       "are 0 to 1"),
            std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

class MenuPicture : public test::FontFixtureTest {};

TEST_F(MenuPicture, ThePaintedMenuMatchesItsGolden) {
  CPopupMenu menu("&Load|Save &as|-|Quit");
  menu.Event(Key(kDown));
  menu.Event(Key(kDown));
  const TBitmap32 picture = menu.Paint();
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tavrin_menu_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::vector<uint8_t> png = Picture_EncodePNG(picture);
  std::ofstream(dir / "menu.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  EXPECT_EQ(test::Golden_Compare(dir / "menu.png", std::filesystem::path(TAVRIN_TESTS_DIR) / "windows" / "golden" / "menu.png",
                                 0, dir / "failures"),
            "");
  if (!HasFailure()) std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
