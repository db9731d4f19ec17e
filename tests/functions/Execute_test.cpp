// Starting programs: command lines split into argument vectors, programs run
// with and without waiting, documents and addresses handed to xdg-open, and
// the window kept answering during a wait.
#include "functions/Function_Execute.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "runner/FakePlatform.h"
#include "script/Code_Function.h"
#include "script/Conformance.h"
#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin::test {
namespace {

TEST(CommandLines, SplitAsTheGamesHomeSystemSplitsThem) {
  using V = std::vector<std::string>;
  const struct {
    const char* line;
    V words;
  } cases[] = {
      {"", V{}},
      {"  a  b\tc ", V{"a", "b", "c"}},
      {"\"a b\" c", V{"a b", "c"}},
      {"a\"b c\"d", V{"ab cd"}},
      {"\"\"", V{""}},
      {"C:\\dir\\file.txt", V{"C:\\dir\\file.txt"}},           // backslashes are text
      {"a\\\\\"b c\"", V{"a\\b c"}},                          // 2n backslashes before a quote: n, and the quote groups
      {"a\\\"b", V{"a\"b"}},                                  // 2n + 1: n, and the quote is text
      {"\"say \"\"hi\"\"\"", V{"say \"hi\""}},                // "" inside quotes
      {"; rm -rf / $(x) `y` | z", V{";", "rm", "-rf", "/", "$(x)", "`y`", "|", "z"}},  // no shell sees them
  };
  for (const auto& c : cases) EXPECT_EQ(Execute_SplitArguments(c.line), c.words) << c.line;
  EXPECT_EQ(Execute_SplitCommandLine("\"C:\\Program Files\\x.exe\" -a \"b c\""), (V{"C:\\Program Files\\x.exe", "-a", "b c"}));
  EXPECT_EQ(Execute_SplitCommandLine("tool\\run.exe x"), (V{"tool\\run.exe", "x"}));
}

class ExecuteCode : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(m_dir / "bin");
    m_path = std::getenv("PATH");
    // A stand-in for the desktop's opener: it writes down what it was given.
    const fs::path opener = m_dir / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s|' \"$@\" > " << (m_dir / "opened.txt").string() << "\n";
    fs::permissions(opener, fs::perms::owner_all);
    ::setenv("PATH", ((m_dir / "bin").string() + ":" + m_path).c_str(), 1);
  }
  void TearDown() override {
    ::setenv("PATH", m_path.c_str(), 1);
  }
  // What the opener was given, once it has run (it runs without a wait).
  std::string Opened() {
    for (int i = 0; i < 200 && !fs::exists(m_dir / "opened.txt"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::string text = ReadFile(m_dir / "opened.txt");
    fs::remove(m_dir / "opened.txt");
    return text;
  }
  CWorkFolder m_folder{"execute", CWorkFolder::kEnter};
  fs::path m_dir = m_folder.Path();
  std::string m_path;
};

TEST_F(ExecuteCode, ProgramsRunWithTheirArgumentsAsWritten) {
  RunTable({
      {"the arguments reach the program as the split gives them, and the wait waits",
       "execute_program('sh', '-c \"printf %s,%s \\\"$0\\\" \\\"$1\\\" > got.txt\" \"a b\" \"$(echo no)\"', 1);\n" +
           Show({"file_exists('got.txt')"}),
       "1\n", ""},
      {"a program name may carry arguments; .exe finds the program without it",
       "execute_program('touch.exe made1.txt', '', 1); execute_program('sh.exe', '-c \"touch made2.txt\"', true);\n" +
           Show({"file_exists('made1.txt')", "file_exists('made2.txt')"}),
       "1\n1\n", ""},
      {"a program that is not there", "execute_program('no-such-program', 'x', 0);", "",
       ActionError("Cannot execute no-such-program")},
  });
  EXPECT_EQ(ReadFile("got.txt"), "a b,$(echo no)");
}

TEST_F(ExecuteCode, DocumentsAndAddressesGoToTheOpener) {
  fs::create_directories("Docs");
  std::ofstream("Docs/Read Me.txt") << "x";
  RunTable({{"an address", "execute_shell('https://example.org/a b?c=1&d', '');", "", ""}});
  EXPECT_EQ(Opened(), "https://example.org/a b?c=1&d|");
  RunTable({{"a document, found in any case", "execute_shell('docs\\read me.txt', 'ignored');", "", ""}});
  EXPECT_EQ(Opened(), "Docs/Read Me.txt|");
  RunTable({{"a program runs with its arguments", "execute_shell('xdg-open', '\"one two\" three');", "", ""}});
  EXPECT_EQ(Opened(), "one two|three|");
  RunTable({{"nothing by that name", "execute_shell('missing.txt', '');", "", ActionError("Cannot execute missing.txt")}});
}

TEST_F(ExecuteCode, TheWaitKeepsTheWindowAnswering) {
  auto fake = std::make_unique<CFakePlatform>();
  CFakePlatform* platform = fake.get();
  Platform_Install(std::move(fake));
  int fired = 0;
  platform->Timers().Create(100000, true, [&] { ++fired; }, platform->Clock_Microseconds());
  Function_RegisterAll();
  Function_RegisterExecute();
  RValue args[3] = {RValue::String("sleep"), RValue::String("0.3"), RValue::Real(1)};
  RValue result;
  g_Functions[size_t(Function_Find("execute_program"))].f_routine(nullptr, nullptr, 3, result, args);
  Platform_Install(nullptr);
  EXPECT_GT(fired, 0);  // timers fire only where messages are pumped
}

}  // namespace
}  // namespace tavrin::test
