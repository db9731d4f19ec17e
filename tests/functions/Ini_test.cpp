// Ini files: the text we read and write, the numbers in them, the functions
// as games call them, and a crash in the middle of a write.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "functions/Function_Ini.h"
#include "functions/Support_Ini.h"
#include "script/Code_Function.h"
#include "script/Conformance.h"
#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

TEST(IniText, CommentsAndUnknownLinesStayWhereTheyStand) {
  CIniFile ini;
  ini.Parse("; the player's notes\n\n[Video]\r\nwidth = 640 \nheight=\"  480 \"\n# odd line\n\n[Audio]\rvolume=3");
  EXPECT_EQ(*ini.Find("VIDEO", "Width"), "640");
  EXPECT_EQ(*ini.Find("video", "height"), "  480 ");
  EXPECT_EQ(ini.Find("video", "odd line"), nullptr);
  EXPECT_EQ(*ini.Find("audio", "VOLUME"), "3");
  ini.Set("video", "depth", "32");
  ini.Set("Input", "keys", "arrows");
  ini.DeleteKey("audio", "volume");
  EXPECT_EQ(ini.Text(),
            "; the player's notes\r\n\r\n[Video]\r\nwidth=640\r\nheight=\"  480 \"\r\ndepth=32\r\n# odd line\r\n\r\n"
            "[Audio]\r\n[Input]\r\nkeys=arrows\r\n");
  // What is written reads back the same.
  CIniFile again;
  again.Parse(ini.Text());
  EXPECT_EQ(again.Text(), ini.Text());
  EXPECT_EQ(*again.Find("video", "height"), "  480 ");
}

TEST(IniText, ALineBreakInAValueAddsNoKey) {
  CIniFile ini;
  ini.Set("save", "name", "Ann\r\n[save]\nlevel=99");
  ini.Set("save\n[x]", "k\ny=1", "v");
  CIniFile again;
  again.Parse(ini.Text());
  EXPECT_EQ(again.Find("save", "level"), nullptr);
  EXPECT_EQ(*again.Find("save", "name"), "Ann  [save] level=99");
  EXPECT_FALSE(again.SectionExists("x"));
  EXPECT_EQ(again.Find("save [x]", "y"), nullptr);
}

TEST(IniText, NumbersReadAsGamesWriteThem) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"1,5e2", 150},   {"2.5.3", 2.5}, {"-x", 0},     {"12", 12},         {"-4.25", -4.25},
               {"1e-2", 0.01},   {"3 4", 3},     {"", 0},       {"1e5e3", 100000},  {"7.e1", 70},
               {"0e999999", 0}, {"--2", 2}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Ini_ParseReal(c.text), c.value) << c.text;
  for (const double v : {0.1, 150.0, -2.5, 1e20, 123456789012345.0, 1.0 / 3})
    EXPECT_DOUBLE_EQ(Ini_ParseReal(Ini_RealText(v)), std::stod(Ini_RealText(v))) << v;
  EXPECT_EQ(Ini_RealText(0.1), "0.1");
  EXPECT_EQ(Ini_RealText(150), "150");
}

class IniFolder : public ::testing::Test {
 protected:
  test::CWorkFolder m_folder{"ini", test::CWorkFolder::kEnter};
  fs::path m_dir = m_folder.Path();
};

TEST_F(IniFolder, FunctionsAsGamesCallThem) {
  std::ofstream("Options.INI", std::ios::binary) << "[Player]\r\nname=Ren\xE9\r\n";
  test::RunTable({
      {"reads, writes, defaults and deletes, each change saved at once",
       "ini_open('options.ini');\n" +
           test::Show({"ini_read_string('player', 'NAME', 'x')", "ini_read_string('player', 'age', 12)",
                       "ini_read_real('player', 'age', 2.5)", "ini_key_exists('Player', 'name')",
                       "ini_section_exists('none')"}) +
           "ini_write_real('Scores', 'best', 1500.25); ini_write_string('Player', 'name', 'Zoë');\n"
           "ini_key_delete('player', 'nothing'); ini_section_delete('nothing');",
       "René\n12\n2.50\n1\n0\n", ""},
      {"no ini open", "ini_read_string('a', 'b', 'c'); ini_write_real('a', 'b', 1); ini_key_delete('a', 'b');", "",
       test::ActionError("Trying to read from undefined INI file") + test::ActionError("Trying to write to undefined INI file") +
           test::ActionError("Trying to change undefined INI file")},
      {"a folder that is not there", "ini_open('nowhere\\x.ini'); ini_close();", "",
       test::ActionError("Error directory does not exist when opening ini file - " + (m_dir / "nowhere/x.ini").string())},
  });
  EXPECT_EQ(test::ReadFile("Options.INI"), "[Player]\r\nname=Zo\xEB\r\n[Scores]\r\nbest=1500.25\r\n");
}

// Kills a process that keeps rewriting a file, at many moments, and each
// time finds a whole file: one of the versions written, never a piece.
template <class Start, class Writer, class Check>
void KillDuringWrites(Start start, Writer write, Check check) {
  for (int delay = 4; delay < 100; delay += 5) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      start();
      for (int round = 1;; ++round) write(round);
    }
    ::usleep(useconds_t(delay * 1000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    check();
  }
}

TEST_F(IniFolder, AKilledWriteLeavesTheOldFileWhole) {
  Function_RegisterAll();
  Function_RegisterIni();
  auto call = [](const char* name, std::vector<RValue> args) {
    RValue result;
    g_Functions[size_t(Function_Find(name))].f_routine(nullptr, nullptr, int32_t(args.size()), result, args.data());
  };
  static constexpr size_t kSize = 2000000;
  KillDuringWrites(
      [&] { call("ini_open", {RValue::String("big.ini")}); },
      [&](int round) {
        call("ini_write_string", {RValue::String("s"), RValue::String("v"),
                                  RValue::String(std::string(kSize, char('a' + round % 26)))});
      },
      [&] {
        if (!fs::exists("big.ini")) return;
        CIniFile ini;
        ini.Parse(test::ReadFile("big.ini"));
        const std::string* v = ini.Find("s", "v");
        ASSERT_NE(v, nullptr);
        ASSERT_EQ(v->size(), kSize);
        EXPECT_EQ(v->find_first_not_of(v->front()), std::string::npos);
      });
}

// A write that fails halfway (here: the file-size limit of the process is
// reached) leaves the old file as it was.
TEST_F(IniFolder, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
  const std::string old = "[s]\r\nv=" + std::string(50000, 'a') + "\r\n";
  std::ofstream("big.ini", std::ios::binary) << old;
  const int status = test::RunWithFileLimit(100000, [] {
    Function_RegisterAll();
    Function_RegisterIni();
    RValue result, open[1] = {RValue::String("big.ini")};
    g_Functions[size_t(Function_Find("ini_open"))].f_routine(nullptr, nullptr, 1, result, open);
    RValue write[3] = {RValue::String("s"), RValue::String("v"), RValue::String(std::string(200000, 'b'))};
    g_Functions[size_t(Function_Find("ini_write_string"))].f_routine(nullptr, nullptr, 3, result, write);
    return 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test::ReadFile("big.ini"), old);
}

}  // namespace
}  // namespace tavrin
