// The choosers as models: the colour chooser's keys, clicks and answers;
// the file and folder choosers' filters, listing, keys, names typed and
// answers, over a small folder made for each test; and the painted
// choosers against their goldens.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "graphics/Graphics_Picture.h"
#include "platform/Platform_File.h"
#include "support/FontFixtureTest.h"
#include "support/GoldenFrame.h"
#include "support/TestFolder.h"
#include "windows/Color_Chooser.h"
#include "windows/DialogEvents.h"
#include "windows/File_Chooser.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

using test::Key;
using test::Mouse;
using test::Typed;

constexpr int kBackspace = 8, kTab = 9, kEnter = 13, kShift = 16, kEscape = 27, kSpace = 32, kEnd = 35, kHome = 36, kUp = 38,
              kRight = 39, kDown = 40, kCtrl = 17, kKeyA = 65;

RPlatformEvent Closed() {
  RPlatformEvent e;
  e.type = RPlatformEvent::WindowClose;
  return e;
}

TEST(ColorChooser, KeysAndClicks) {
  const RPaintRect ok = CColorChooser::ButtonRect(false);
  const RPaintRect red = CColorChooser::CellRect(8);
  struct RCase {
    const char* name;
    int32_t start;
    std::vector<RPlatformEvent> events;
    int32_t result;  // -2: still open
  };
  const RCase cases[] = {
      {"enter takes the starting colour", 0x123456, {Key(kEnter)}, 0x123456},
      {"higher bits of the start are ignored", 0x7F000010, {Key(kEnter)}, 0x10},
      {"escape cancels", 0x123456, {Key(kEscape)}, -1},
      {"the close box cancels", 0x123456, {Closed()}, -1},
      {"right moves to the next basic colour", 0, {Key(kRight), Key(kRight), Key(kEnter)}, 0x494949},
      {"up moves a row up", 0, {Key(kUp), Key(kEnter)}, 0x000040},
      {"a typed number replaces the red part", 0, {Key(kTab), Typed("200"), Key(kEnter)}, 200},
      {"up and down step a part", 0, {Key(kTab), Key(kTab), Key(kUp), Key(kUp), Key(kUp), Key(kDown), Key(kEnter)},
       2 << 8},
      {"a part never passes 255", 0, {Key(kTab), Key(kTab), Key(kTab), Typed("999"), Key(kEnter)}, 255 << 16},
      {"only digits are typed", 0, {Key(kTab), Typed("1a2"), Key(kEnter)}, 12},
      {"backspace edits a part", 0xC8, {Key(kTab), Key(kRight), Key(kBackspace), Key(kEnter)}, 20},
      {"enter on Cancel cancels", 5, {Key(kTab), Key(kTab), Key(kTab), Key(kTab), Key(kTab), Key(kEnter)}, -1},
      {"shift+tab goes back round to Cancel", 5, {Key(kShift), Key(kTab), Key(kShift, false), Key(kEnter)}, -1},
      {"space presses OK", 5, {Key(kTab), Key(kTab), Key(kTab), Key(kTab), Key(kSpace)}, 5},
      {"space in the palette does nothing", 5, {Key(kSpace)}, -2},
      {"a click on a colour and on OK",
       0,
       {Mouse(RPlatformEvent::MouseDown, red.x + 3, red.y + 3), Mouse(RPlatformEvent::MouseUp, red.x + 3, red.y + 3),
        Mouse(RPlatformEvent::MouseDown, ok.x + 5, ok.y + 5), Mouse(RPlatformEvent::MouseUp, ok.x + 5, ok.y + 5)},
       0x0000FF},
      {"a press on OK let go beside it does nothing",
       0,
       {Mouse(RPlatformEvent::MouseDown, ok.x + 5, ok.y + 5), Mouse(RPlatformEvent::MouseUp, ok.x - 30, ok.y + 5)},
       -2},
  };
  for (const RCase& c : cases) {
    CColorChooser chooser(c.start);
    for (const RPlatformEvent& e : c.events) chooser.Event(e);
    EXPECT_EQ(chooser.Done() ? chooser.Result() : -2, c.result) << c.name;
    chooser.Paint();
  }
}

TEST(ColorChooser, TheStartingColourIsFoundInThePalette) {
  EXPECT_EQ(CColorChooser(int32_t(CColorChooser::PaletteColor(13))).Cell(), 13);
  EXPECT_EQ(CColorChooser(0x010203).Cell(), -1);
}

TEST(ColorChooser, Answers) {
  struct RCase {
    const char* answer;  // null: no line left
    int32_t result;      // -2: refused
  };
  const RCase cases[] = {
      {nullptr, 0x123456},         {"ok", 0x123456},           {" Default ", 0x123456},
      {"Cancel", -1},              {"escape", -1},             {"color: 1, 2, 3", 0x030201},
      {"colour: 1 2 3", 0x030201}, {"COLOR: #0080FF", 0xFF8000}, {"color: 256, 0, 0", -2},
      {"color: 1, 2", -2},         {"color: 1, 2, 3, 4", -2},  {"color: #12345", -2},
      {"color: #12345G", -2},      {"blue", -2},               {"text: 1", -2},
  };
  for (const RCase& c : cases) {
    CColorChooser chooser(0x123456);
    const std::string line = c.answer ? c.answer : "";
    const std::string why = chooser.Answer(c.answer ? &line : nullptr);
    if (c.result == -2) {
      EXPECT_NE(why, "") << line;
      EXPECT_FALSE(chooser.Done()) << line;
    } else {
      EXPECT_EQ(why, "") << line;
      EXPECT_EQ(chooser.Result(), c.result) << line;
    }
  }
}

TEST(FileFilters, DescriptionsMasksAndMatching) {
  struct RFilterCase {
    const char* filter;
    const char* expected;  // "description:mask,mask " for each filter
  } filters[] = {
      {"Levels|*.lvl|All files|*.*", "Levels:*.lvl All files:*.* "},
      {"Pictures|*.png; *.BMP", "Pictures:*.png,*.BMP "},
      {"", ""},
      {"Odd", ""},
      {"A|*.a|B", "A:*.a "},
      {"No mask|", "No mask:* "},
  };
  for (const RFilterCase& c : filters) {
    std::string got;
    for (const RFileFilter& f : Chooser_ParseFilter(c.filter)) {
      got += f.description + ":";
      for (size_t i = 0; i < f.masks.size(); ++i) got += (i ? "," : "") + f.masks[i];
      got += " ";
    }
    EXPECT_EQ(got, c.expected) << c.filter;
  }
  struct RMaskCase {
    const char* mask;
    const char* name;
    bool matches;
  } masks[] = {
      {"*.lvl", "forest.LVL", true},   {"*.lvl", "forest.lvl.bak", false}, {"*.*", "README", true},
      {"*", "x", true},                {"level?.dat", "level1.dat", true}, {"level?.dat", "level10.dat", false},
      {"*a*b", "xxaYYb", true},        {"*a*b", "xxab c", false},          {"a*", "ba", false},
      {"*.tar.gz", "x.tar.gz", true},  {"*.tar.gz", "x.tar", false},       {"save*", "SAVE", true},
      {"a*", "a*", true},              {"a*c", "a*b", false},
  };
  for (const RMaskCase& c : masks) EXPECT_EQ(Name_MatchesMask(c.name, c.mask), c.matches) << c.mask << " " << c.name;
}

// A small folder to choose in: two sub-folders (one of them nested), files
// of three kinds, and hidden entries.
class FileChooser : public test::FolderTest {
 protected:
  FileChooser() : FolderTest("chooser") {}
  void SetUp() override {
    FolderTest::SetUp();
    fs::create_directories(m_dir / "alpha" / "deep");
    fs::create_directories(m_dir / "Beta");
    fs::create_directories(m_dir / ".hidden");
    for (const char* f : {"b.TXT", "A.txt", "c.png", ".secret.txt", "alpha/inner.txt"}) std::ofstream(m_dir / f) << f;
  }
  CFileChooser Make(EChooserKind kind, const std::string& name = "", const std::string& filter = "Text|*.txt|All|*.*") {
    RChooserSetup setup;
    setup.kind = kind;
    setup.filter = filter;
    setup.name = name;
    setup.folder = m_dir;
    if (kind == EChooserKind::FolderTree) setup.root = m_dir / "alpha";
    return CFileChooser(setup);
  }
  static std::string Names(const CFileChooser& chooser) {
    std::string out;
    for (const CFileChooser::REntry& e : chooser.Entries()) out += e.name + (e.folder ? "/ " : " ");
    return out;
  }
  std::string Path(const char* name) const { return (m_dir / name).string(); }
};

TEST_F(FileChooser, ListsFoldersFirstThenTheFilesTheFilterLetThrough) {
  CFileChooser open = Make(EChooserKind::Open);
  EXPECT_EQ(Names(open), "../ alpha/ Beta/ A.txt b.TXT ");
  // Tab to the filters, then the next one.
  for (const RPlatformEvent& e : {Key(kTab), Key(kTab), Key(kDown)}) open.Event(e);
  EXPECT_EQ(open.Focus(), CFileChooser::kType);
  EXPECT_EQ(Names(open), "../ alpha/ Beta/ A.txt b.TXT c.png ");
  EXPECT_EQ(Names(Make(EChooserKind::Open, "", "")), "../ alpha/ Beta/ A.txt b.TXT c.png ");
  EXPECT_EQ(Names(Make(EChooserKind::Folder)), "../ alpha/ Beta/ ");
  CFileChooser tree = Make(EChooserKind::FolderTree);
  EXPECT_EQ(tree.Folder(), m_dir / "alpha");
  EXPECT_EQ(Names(tree), "deep/ ");
  // A top that is no folder leaves the whole machine to browse, from the
  // working folder.
  RChooserSetup missing;
  missing.kind = EChooserKind::FolderTree;
  missing.root = missing.folder = m_dir / "none";
  CFileChooser anywhere(missing);
  EXPECT_EQ(anywhere.Folder(), fs::current_path());
  EXPECT_EQ(Names(anywhere).substr(0, 4), "../ ");
}

TEST_F(FileChooser, Keys) {
  struct RCase {
    const char* name;
    EChooserKind kind;
    const char* suggested;
    std::vector<RPlatformEvent> events;
    std::string result;  // "" and not done: still open, in `folder`
    std::string folder;
  };
  const std::string dir = m_dir.string();
  const RCase cases[] = {
      {"a letter goes to its entry, enter opens a folder", EChooserKind::Open, "", {Typed("b"), Key(kEnter)}, "",
       dir + "/Beta"},
      {"the same letter again goes on to the next", EChooserKind::Open, "", {Typed("B"), Typed("b"), Key(kEnter)},
       Path("b.TXT"), ""},
      {"end and enter take the last file", EChooserKind::Open, "", {Key(kEnd), Key(kEnter)}, Path("b.TXT"), ""},
      {"backspace goes up a folder", EChooserKind::Open, "", {Key(kDown), Key(kEnter), Key(kBackspace)}, "", dir},
      {"enter on .. goes up", EChooserKind::Open, "", {Key(kEnter)}, "", m_dir.parent_path().string()},
      {"a name typed in any case", EChooserKind::Open, "", {Key(kTab), Typed("a.TXT"), Key(kEnter)}, Path("A.txt"), ""},
      {"a folder name typed opens it", EChooserKind::Open, "", {Key(kTab), Typed("alpha"), Key(kEnter)}, "",
       dir + "/alpha"},
      {"a file missing from an open chooser", EChooserKind::Open, "", {Key(kTab), Typed("none.txt"), Key(kEnter)}, "",
       dir},
      {"the suggested name takes the keyboard", EChooserKind::Save, "slot.sav", {Key(kEnter)}, Path("slot.sav"), ""},
      {"a name typed over the suggested one", EChooserKind::Save, "slot.sav", {Typed("two.sav"), Key(kEnter)},
       Path("two.sav"), ""},
      {"ctrl+A and backspace empty the name", EChooserKind::Save, "slot.sav",
       {Key(kEnd), Key(kCtrl), Key(kKeyA), Key(kCtrl, false), Key(kBackspace), Key(kEnter)}, "", dir},
      {"a save into a missing folder", EChooserKind::Save, "none/x.sav", {Key(kEnter)}, "", dir},
      {"alt+S saves", EChooserKind::Save, "x.sav", {Key(18), Key('S')}, Path("x.sav"), ""},
      {"escape cancels", EChooserKind::Save, "x.sav", {Key(kEscape)}, "", ""},
      {"enter on Cancel cancels", EChooserKind::Save, "x.sav", {Key(kTab), Key(kTab), Key(kTab), Key(kEnter)}, "", ""},
      {"a folder chooser takes the folder it shows", EChooserKind::Folder, "",
       {Key(kDown), Key(kEnter), Key(kTab), Key(kEnter)}, Path("alpha"), ""},
      {"the folder browser never leaves its top", EChooserKind::FolderTree, "",
       {Key(kBackspace), Key(kHome), Key(kEnter), Key(kBackspace), Key(kTab), Key(kEnter)}, Path("alpha"), ""},
      {"the folder browser opens what is inside", EChooserKind::FolderTree, "",
       {Key(kEnter), Key(kTab), Key(kSpace)}, Path("alpha/deep"), ""},
  };
  for (const RCase& c : cases) {
    CFileChooser chooser = Make(c.kind, c.suggested);
    for (const RPlatformEvent& e : c.events) chooser.Event(e);
    EXPECT_EQ(chooser.Result(), c.result) << c.name;
    if (!c.folder.empty()) {
      EXPECT_FALSE(chooser.Done()) << c.name;
      EXPECT_EQ(chooser.Folder().string(), c.folder) << c.name;
    } else {
      EXPECT_TRUE(chooser.Done()) << c.name;
    }
    chooser.Paint();
  }
}

TEST_F(FileChooser, ANameNotTakenSaysWhy) {
  CFileChooser open = Make(EChooserKind::Open, "none.txt");
  open.Event(Key(kEnter));
  EXPECT_EQ(open.Status(), "File not found: none.txt");
  open.Event(Typed("x"));
  EXPECT_EQ(open.Status(), "");
  CFileChooser save = Make(EChooserKind::Save, "none/x.sav");
  save.Event(Key(kEnter));
  EXPECT_EQ(save.Status(), "Folder not found: " + Path("none"));
}

TEST_F(FileChooser, ADoubleClickOpensAFolder) {
  CFileChooser chooser = Make(EChooserKind::Open);
  const RPaintRect list = chooser.ListRect();
  RPlatformEvent click = Mouse(RPlatformEvent::MouseDown, list.x + 40, list.y + 2 + chooser.RowHeight() + 3);
  chooser.Event(click);
  EXPECT_EQ(chooser.Highlighted(), 1);
  EXPECT_EQ(chooser.Folder(), m_dir);
  click.clicks = 2;
  chooser.Event(click);
  EXPECT_EQ(chooser.Folder(), m_dir / "alpha");
}

TEST_F(FileChooser, Answers) {
  struct RCase {
    EChooserKind kind;
    const char* suggested;
    std::string answer;  // "-": no line left
    std::string result;  // "?": refused
  };
  const RCase cases[] = {
      {EChooserKind::Open, "", "-", ""},
      {EChooserKind::Open, "A.txt", "-", Path("A.txt")},
      {EChooserKind::Open, "none.txt", "-", ""},
      {EChooserKind::Open, "", "file: " + Path("b.txt"), Path("b.TXT")},
      {EChooserKind::Open, "", "file: " + Path("none.txt"), "?"},
      {EChooserKind::Open, "", "file: " + Path("alpha"), "?"},
      {EChooserKind::Open, "none.txt", "ok", "?"},
      {EChooserKind::Open, "A.txt", "ok", Path("A.txt")},
      {EChooserKind::Open, "", "folder: " + Path("alpha"), "?"},
      {EChooserKind::Save, "new.sav", "-", Path("new.sav")},
      {EChooserKind::Save, "", "file: " + Path("new.sav"), Path("new.sav")},
      {EChooserKind::Save, "", "file: " + Path("none/new.sav"), "?"},
      {EChooserKind::Save, "x.sav", "cancel", ""},
      {EChooserKind::Folder, "", "-", m_dir.string()},
      {EChooserKind::Folder, "", "folder: " + Path("Beta"), Path("Beta")},
      {EChooserKind::Folder, "", "folder: " + Path("A.txt"), "?"},
      {EChooserKind::Folder, "", "file: " + Path("A.txt"), "?"},
      {EChooserKind::FolderTree, "", "-", Path("alpha")},
      {EChooserKind::FolderTree, "", "folder: " + Path("alpha/deep"), Path("alpha/deep")},
      {EChooserKind::FolderTree, "", "folder: " + Path("Beta"), "?"},
      {EChooserKind::FolderTree, "", "escape", ""},
  };
  for (const RCase& c : cases) {
    CFileChooser chooser = Make(c.kind, c.suggested);
    const std::string why = chooser.Answer(c.answer == "-" ? nullptr : &c.answer);
    if (c.result == "?") {
      EXPECT_NE(why, "") << c.answer;
      EXPECT_FALSE(chooser.Done()) << c.answer;
    } else {
      EXPECT_EQ(why, "") << c.answer;
      EXPECT_TRUE(chooser.Done()) << c.answer;
      EXPECT_EQ(chooser.Result(), c.result) << c.answer;
    }
  }
}

class ChooserPicture : public test::FontFixtureTest {
 protected:
  void Compare(const TBitmap32& picture, const char* name) {
    const fs::path dir = fs::temp_directory_path() / ("tavrin_choosers_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::vector<uint8_t> png = Picture_EncodePNG(picture);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    EXPECT_EQ(test::Golden_Compare(dir / name, fs::path(TAVRIN_TESTS_DIR) / "windows" / "golden" / name, 0,
                                   dir / "failures"),
              "");
    if (!HasFailure()) fs::remove_all(dir);
  }
};

TEST_F(ChooserPicture, TheColourChooserMatchesItsGolden) {
  CColorChooser chooser(int32_t(CColorChooser::PaletteColor(10)));
  chooser.Event(Key(kTab));
  chooser.Event(Key(kTab));
  Compare(chooser.Paint(), "color_chooser.png");
}

// The folder's name is part of the picture, so it is always the same one.
TEST_F(ChooserPicture, TheFileChooserMatchesItsGolden) {
  const fs::path dir = "/tmp/tavrin-chooser-picture";
  fs::remove_all(dir);
  fs::create_directories(dir / "saves");
  for (const char* f : {"level1.lvl", "level2.lvl", "notes.txt"}) std::ofstream(dir / f) << f;
  RChooserSetup setup;
  setup.kind = EChooserKind::Save;
  setup.filter = "Levels|*.lvl|All files|*.*";
  setup.name = "level3.lvl";
  setup.folder = dir;
  CFileChooser chooser(setup);
  chooser.Event(Key(kTab));  // from the name to the filters
  Compare(chooser.Paint(), "file_chooser.png");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
