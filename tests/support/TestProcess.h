// Runs a program for a test and collects its exit status, standard output and
// standard error. Header-only; used by the end-to-end tests.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tavrin::test {

struct RRun {
  int status = -1;
  std::string out, err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// `env` entries are NAME=VALUE; `cwd` is the working folder (empty: unchanged).
inline RRun RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                       const std::string& cwd = {}) {
  static int counter = 0;
  const auto base = std::filesystem::temp_directory_path() /
                    ("tavrin_run_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  std::string cmd;
  if (!cwd.empty()) cmd += "cd " + ShellQuote(cwd) + " && ";
  cmd += "env";
  for (const auto& e : env) cmd += " " + ShellQuote(e);
  for (const auto& a : argv) cmd += " " + ShellQuote(a);
  cmd += " </dev/null >" + ShellQuote(base.string() + ".out") + " 2>" + ShellQuote(base.string() + ".err");
  const int raw = std::system(cmd.c_str());
  RRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFile(base.string() + ".out");
  r.err = ReadFile(base.string() + ".err");
  std::filesystem::remove(base.string() + ".out");
  std::filesystem::remove(base.string() + ".err");
  return r;
}

// Runs `body` in a child process whose files may not grow past `bytes` (a
// write beyond fails instead of ending the process): how a test makes a
// write fail halfway. Returns the status `body` returned, -1 when the child
// did not end normally.
template <class F>
int RunWithFileLimit(rlim_t bytes, F body) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(body());
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tavrin::test
