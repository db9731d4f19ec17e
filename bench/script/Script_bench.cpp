// Six programs written in our script language and in Lua 5.4, doing the same
// work: recursive calls, an arithmetic loop, string building, array fill and
// sum, instance-variable reads and writes, and nested loops mixing locals and
// globals. Ours runs in this process (compiling included); Lua runs as the
// `lua5.4` program, whose start-up (about a millisecond) is part of its time.
// Before measuring, both sides must print the same result.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "script/Code_Standalone.h"
#include "support/BenchRatio.h"

extern char** environ;

namespace {

const char* const kPrograms[] = {"fib", "arith", "strings", "arrays", "instance", "mixed"};

std::string ProgramPath(const std::string& name, const char* ext) {
  return std::string(TAVRIN_BENCH_PROGRAMS) + "/" + name + ext;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs `fn` with standard output going to `path` (or nowhere).
template <class F>
int WithStdout(const char* path, F fn) {
  std::fflush(stdout);
  int saved = dup(1);
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(fd, 1);
  close(fd);
  int status = fn();
  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  return status;
}

int RunOurs(const std::string& text) { return tavrin::Code_RunStandaloneText(text); }

int RunLua(const std::string& path) {
  const char* argv[] = {"lua5.4", path.c_str(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "lua5.4", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Both sides print one result; they must agree, or the comparison is void.
bool SameResults(const std::string& name) {
  const std::string ours = "/tmp/tavrin_bench_ours.txt", lua = "/tmp/tavrin_bench_lua.txt";
  const std::string text = ReadFile(ProgramPath(name, ".tvs"));
  if (WithStdout(ours.c_str(), [&] { return RunOurs(text); }) != 0) return false;
  if (WithStdout(lua.c_str(), [&] { return RunLua(ProgramPath(name, ".lua")); }) != 0) return false;
  const std::string a = ReadFile(ours), b = ReadFile(lua);
  if (a != b) std::fprintf(stderr, "%s: ours printed %s, Lua printed %s", name.c_str(), a.c_str(), b.c_str());
  return !a.empty() && a == b;
}

void Ours(benchmark::State& state, const std::string& name) {
  const std::string text = ReadFile(ProgramPath(name, ".tvs"));
  if (!SameResults(name)) state.SkipWithError("results differ");
  for (auto _ : state) {
    if (WithStdout("/dev/null", [&] { return RunOurs(text); }) != 0) state.SkipWithError("run failed");
  }
}

void Lua(benchmark::State& state, const std::string& name) {
  const std::string path = ProgramPath(name, ".lua");
  for (auto _ : state) {
    if (WithStdout("/dev/null", [&] { return RunLua(path); }) != 0) state.SkipWithError("lua5.4 failed");
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const char* p : kPrograms) {
    const std::string name = p;
    benchmark::RegisterBenchmark(("script/" + name).c_str(), Ours, name)
        ->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
    benchmark::RegisterBenchmark(("lua/" + name).c_str(), Lua, name)
        ->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
    pairs.emplace_back("script/" + name + "/min_time:1.000/real_time", "lua/" + name + "/min_time:1.000/real_time");
  }
  return tavrin::bench::RunWithRatios(argc, argv, pairs);
}
