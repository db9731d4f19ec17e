// Scripts: execute_file, argument checks, runaway recursion and the limits of
// code. (Calls, results, the argument slots, script_execute and
// execute_string: cases/scripts.tvs.)
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Conformance.h"

namespace tavrin::test {

// A file in the temporary folder named for this process: the tests run twice
// at once (once for each engine) and must not share files.
std::filesystem::path TempFile(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("tavrin_" + std::to_string(getpid()) + "_" + name);
}

TEST(Scripts, ExecuteFileEndsEveryLineWithCR) {
  const auto path = TempFile("execute_file.txt");
  std::ofstream(path, std::ios::binary) << "q = argument0\nr = 2\r\nreturn q + r + nothing";
  const std::string code = "execute_file(\"" + path.string() + "\", 1)";
  RunTable({{"a run-time error on the third line", code, "",
             ActionError(CodeError(3, "return q + r + nothing", 16, "Unknown variable nothing", 17))}});
  std::filesystem::remove(path);
}

// Code files are read up to a cap: a device that never ends, a directory and
// a file beyond the cap each get their own message and run nothing.
TEST(Scripts, CodeFilesAreReadUpToACap) {
  constexpr size_t kCap = 16 * 1024 * 1024;
  const auto big = TempFile("code_too_big.txt");
  const auto full = TempFile("code_full.txt");
  const std::string head = "show_debug_message('ran')\n//";
  std::ofstream(full, std::ios::binary) << head << std::string(kCap - head.size(), 'x');
  std::ofstream(big, std::ios::binary) << head << std::string(kCap + 1 - head.size(), 'x');
  auto run = [](const std::string& file) { return "execute_file(\"" + file + "\"); show_debug_message(\"on\")"; };
  const std::string tooLarge = ActionError("File to be executed is too large: more than 16 MiB of code.");
  RunTable({
      {"a device that never ends", run("/dev/zero"), "on\n", tooLarge},
      {"a file one byte beyond the cap", run(big.string()), "on\n", tooLarge},
      {"a file at the cap runs", run(full.string()), "ran\non\n", ""},
      {"a directory", run(std::filesystem::temp_directory_path().string()), "on\n",
       ActionError("Trying to execute a directory.")},
  });
  // The runner's own --code reads through the same cap.
  struct RCase {
    std::string file, message;
  };
  const RCase runs[] = {
      {"/dev/zero", "The code file /dev/zero is too large: more than 16 MiB of code\n"},
      {big.string(), "The code file " + big.string() + " is too large: more than 16 MiB of code\n"},
      {"/", "/ is a directory, not a code file\n"},
  };
  const auto err = TempFile("code_too_big.err");
  for (const RCase& c : runs) {
    SCOPED_TRACE(c.file);
    const int raw = std::system(("'" + std::string(TAVRIN_EXE) + "' --code '" + c.file + "' >/dev/null 2>'" +
                                 err.string() + "'").c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << raw;
    std::ifstream in(err, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.message);
  }
  std::filesystem::remove(big);
  std::filesystem::remove(full);
  std::filesystem::remove(err);
}

namespace {
// The peak memory, in bytes, of the runner running the code file `path`.
long PeakBytesOfRun(const std::string& path) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    // Under the address sanitizer freed blocks wait in a quarantine before
    // reuse, which measures the sanitizer, not the compiler: none for this run.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string options = std::string(asan ? asan : "") + (asan && *asan ? ":" : "") + "quarantine_size_mb=0";
    setenv("ASAN_OPTIONS", options.c_str(), 1);
    execl(TAVRIN_EXE, TAVRIN_EXE, "--headless", "--code", path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  return usage.ru_maxrss * 1024L;
}
}  // namespace

// Compiling takes memory in proportion to the text, and a modest multiple of
// it: 8 MB of the smallest statements (one token per byte) stay within 75
// times their size beyond what an empty program takes.
TEST(Scripts, CompilingTakesMemoryInProportionToTheText) {
  const auto empty = TempFile("compile_empty.txt"), big = TempFile("compile_big.txt");
  constexpr size_t kBytes = 8 * 1000 * 1000;
  std::ofstream(empty, std::ios::binary) << "exit;\n";
  std::ofstream(big, std::ios::binary) << "exit;\n" << std::string(kBytes, ';');
  const long base = PeakBytesOfRun(empty.string());
  const long peak = PeakBytesOfRun(big.string());
  EXPECT_LT(peak - base, 75L * static_cast<long>(kBytes)) << "peak " << peak << ", base " << base;
  std::filesystem::remove(empty);
  std::filesystem::remove(big);
}

TEST(Scripts, ArgumentChecks) {
  RunTable({
      {"a count that differs fails after the script ran", "s(1)\n#define s\nshow_debug_message(\"ran\"); q = argument1", "ran\n",
       ActionError("Illegal argument count calling script \"s\".\nScript requires 2 arguments, 1 have been supplied."), 0,
       SET_CHECKARGS},
      {"the argument array asks for at least", "s()\n#define s\nq = argument[0] + argument2", "",
       "Illegal array index in script \"s\".\ntrying to access argument[0], but only 0 arguments have been supplied.\n" +
           ActionError("Illegal argument count calling script \"s\".\nScript requires at least 3 arguments, 0 have been supplied."), 0,
       SET_CHECKARGS},
      {"reading the array beyond the count", "s(1)\n#define s\nq = argument[3]", "",
       "Illegal array index in script \"s\".\ntrying to access argument[3], but only 1 arguments have been supplied.\n" +
           ActionError("In script s:\n" + CodeError(1, "q = argument[3]", 5, "Unknown variable argument or array index out of bounds")),
       0, SET_CHECKARGS},
      {"matching counts pass", "show_debug_message(s(1, 2))\n#define s\nreturn argument0 + argument1", "3\n", "", 0,
       SET_CHECKARGS},
      {"no check without the setting", "show_debug_message(s())\n#define s\nreturn argument1", "0\n", ""},
  });
}

TEST(Scripts, RunawayRecursionEndsTheGame) {
  for (const std::string code : {"q = r(); show_debug_message(\"not reached\")\n#define r\nreturn r()",
                                 "q = r(); show_debug_message(\"not reached\")\n#define r\nreturn script_execute(r)",
                                 "execute_string(\"q = r()\"); show_debug_message(\"not reached\")\n#define r\nexecute_string(\"return r()\")"}) {
    SCOPED_TRACE(code);
    CodeResult r = RunCode(code);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Recursion too deep."), std::string::npos) << r.err;
    // One report: the fatal one; nothing after the game is aborted.
    EXPECT_EQ(r.err.find("ERROR in", r.err.find("Recursion too deep.")), std::string::npos) << r.err;
  }
}

TEST(Scripts, DeeplyNestedTextIsRefused) {
  auto repeat = [](const char* piece, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += piece;
    return s;
  };
  for (const std::string& code : {"q = " + repeat("(", 5000) + "1" + repeat(")", 5000), "q = " + repeat("-", 5000) + "1",
                                  repeat("{", 3000) + repeat("}", 3000), "q = id" + repeat(".id", 5000),
                                  "q = 0" + repeat("+z", 5000)}) {
    SCOPED_TRACE(code.substr(0, 20));
    CodeResult r = RunCode(code);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Code is nested too deeply."), std::string::npos) << r.err.substr(0, 400);
  }
  // Just within the limits, code compiles and runs.
  CodeResult deep = RunCode("z = 1; q = " + repeat("(", 250) + "0" + repeat(")", 250) + repeat("+z", 1990) +
                            "; show_debug_message(q)");
  EXPECT_EQ(deep.out, "1990\n");
  EXPECT_EQ(deep.status, 0);
}

}  // namespace tavrin::test
