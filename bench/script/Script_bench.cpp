// Programs written in our script language and in Lua 5.4, doing the same
// work: every programs/NAME.tvs beside its NAME.lua. The engine's set:
// recursive calls, an arithmetic loop, string building, array fill and sum,
// instance-variable reads and writes, nested loops mixing locals and globals.
// The function library's set (built as bench_functions): maps, lists and
// string scanning. Ours runs in this process (compiling included); Lua runs as the
// `lua5.4` program, whose start-up (about a millisecond) is part of its time.
// Both are timed in CPU time (ours: this thread's; Lua: the child's user and
// system time), so that a busy shared machine disturbs the ratio less.
// Before measuring, both sides must print the same result.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "runner/Runner_CodeGame.h"
#include "support/BenchRatio.h"

extern char** environ;

namespace {

// The program names, in name order.
std::vector<std::string> Programs() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(TAVRIN_BENCH_PROGRAMS))
    if (entry.path().extension() == ".tvs") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

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

int RunOurs(const std::string& text) { return tavrin::Runner_PlayCodeText(text, tavrin::RRunConfig{}); }

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Runs Lua on `path`; `seconds` receives the child's CPU time.
int RunLua(const std::string& path, double* seconds = nullptr) {
  const char* argv[] = {"lua5.4", path.c_str(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "lua5.4", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (seconds)
    *seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
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
    const double start = ThreadSeconds();
    if (WithStdout("/dev/null", [&] { return RunOurs(text); }) != 0) state.SkipWithError("run failed");
    state.SetIterationTime(ThreadSeconds() - start);
  }
}

void Lua(benchmark::State& state, const std::string& name) {
  const std::string path = ProgramPath(name, ".lua");
  for (auto _ : state) {
    double seconds = 0;
    if (WithStdout("/dev/null", [&] { return RunLua(path, &seconds); }) != 0) state.SkipWithError("lua5.4 failed");
    state.SetIterationTime(seconds);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const std::string& name : Programs()) {
    benchmark::RegisterBenchmark(("script/" + name).c_str(), Ours, name)
        ->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();
    benchmark::RegisterBenchmark(("lua/" + name).c_str(), Lua, name)
        ->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();
    pairs.emplace_back("script/" + name + "/min_time:1.000/manual_time", "lua/" + name + "/min_time:1.000/manual_time");
  }
  return tavrin::bench::RunWithRatios(argc, argv, pairs);
}
