// Starting other programs and opening documents and addresses.
//
// A program is always started with an argument vector, never through a
// shell: the arguments a game passes as one command line are split by the
// rules programs on the game's home system follow (blanks separate, double
// quotes group, backslashes escape only quotes), so no character in them
// can run a command of its own. Documents and addresses go to the desktop's
// opener, xdg-open, the same way.
#include "functions/Function_Execute.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "package/DataNew_Class.h"
#include "package/Support_Path.h"
#include "platform/Platform.h"
#include "platform/Platform_File.h"
#include "platform/Platform_Quit.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"

extern char** environ;

namespace tavrin {

namespace {

// Programs started without waiting, reaped when they have ended so that
// they do not linger as zombies.
struct RExecuteState {
  std::vector<pid_t> running;
  void Reap() {
    std::erase_if(running, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
  }
};
RExecuteState g_Execute;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsFile(const std::string& path, bool executable) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) &&
         (!executable || ::access(path.c_str(), X_OK) == 0);
}

// A program name without a folder is looked up on PATH.
bool OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  const std::string_view list(path);
  for (size_t start = 0; start <= list.size();) {
    size_t end = list.find(':', start);
    if (end == std::string_view::npos) end = list.size();
    const std::string folder(list.substr(start, end - start));
    if (IsFile((folder.empty() ? "." : folder) + "/" + name, true)) return true;
    start = end + 1;
  }
  return false;
}

// What stands for a game's program name on this machine: the file the path
// layer finds, else a program on PATH; a name ending in ".exe" also tries
// the name without it. "" when there is none.
std::string FindProgram(std::string_view name) {
  std::vector<std::string> tries{std::string(name)};
  if (name.size() > 4 && Name_Same(name.substr(name.size() - 4), ".exe")) tries.emplace_back(name.substr(0, name.size() - 4));
  for (const std::string& t : tries) {
    if (t.find_first_of("/\\:") == std::string::npos && OnPath(t)) return t;
    const std::string path = Path_FromGame(t);
    if (IsFile(path, true)) return path.find('/') == std::string::npos ? "./" + path : path;
  }
  return {};
}

// Starts `argv`; the process id, or -1.
pid_t Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
  return pid;
}

// Waits for the program to end, every 50 ms letting the game's window take
// its messages, so that it is redrawn and answers the desktop meanwhile. A
// request to quit the game stops the wait (the program runs on).
void WaitFor(pid_t pid) {
  for (;;) {
    const pid_t done = ::waitpid(pid, nullptr, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) return;
    if (Quit_Requested()) {
      g_Execute.running.push_back(pid);
      return;
    }
    if (Platform_Installed()) {
      PumpMessages();
      Platform().Sleep_Microseconds(50000);
    } else {
      ::usleep(50000);
    }
  }
}

bool Start(const std::vector<std::string>& argv, bool wait) {
  g_Execute.Reap();
  const pid_t pid = Spawn(argv);
  if (pid < 0) return false;
  if (wait) WaitFor(pid);
  else g_Execute.running.push_back(pid);
  return true;
}

bool IsAddress(std::string_view s) {
  return s.find("://") != std::string_view::npos || s.rfind("mailto:", 0) == 0 || s.rfind("www.", 0) == 0;
}

bool SecureRefuses(std::string_view program) {
  if (g_SecureMode) Error_ReportAction("In Secure mode you cannot execute program " + std::string(program), false);
  return g_SecureMode;
}

FUNCTION_ROUTINE(F_ExecuteProgram) {
  const std::string_view program = a[0].AsText();
  if (SecureRefuses(program)) return;
  std::vector<std::string> argv = Execute_SplitArguments(a[1].AsText());
  std::string found = FindProgram(program);
  if (found.empty()) {
    // The program may carry arguments of its own: "editor.exe notes.txt".
    std::vector<std::string> words = Execute_SplitCommandLine(std::string(program) + " " + std::string(a[1].AsText()));
    if (!words.empty() && !(found = FindProgram(words[0])).empty()) argv.assign(words.begin() + 1, words.end());
  }
  argv.insert(argv.begin(), found);
  if (found.empty() || !Start(argv, Value_IsTrue(a[2]))) Error_ReportAction("Cannot execute " + std::string(program), false);
}

// Programs run with their arguments; documents, folders and addresses open
// in the desktop's program for them.
FUNCTION_ROUTINE(F_ExecuteShell) {
  const std::string_view target = a[0].AsText();
  if (SecureRefuses(target)) return;
  bool ok = false;
  if (IsAddress(target)) {
    ok = Start({"xdg-open", std::string(target)}, false);
  } else if (const std::string program = FindProgram(target); !program.empty()) {
    std::vector<std::string> argv = Execute_SplitArguments(a[1].AsText());
    argv.insert(argv.begin(), program);
    ok = Start(argv, false);
  } else if (const std::string path = Path_FromGame(target); !path.empty() && ::access(path.c_str(), F_OK) == 0) {
    ok = Start({"xdg-open", path}, false);
  }
  if (!ok) Error_ReportAction("Cannot execute " + std::string(target), false);
}

constexpr RFunctionRoutine kExecuteFunctions[] = {
    {"execute_program", F_ExecuteProgram},
    {"execute_shell", F_ExecuteShell},
};

}  // namespace

std::vector<std::string> Execute_SplitArguments(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return words;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      if (line[i] == '\\') {
        size_t n = 0;
        while (i < line.size() && line[i] == '\\') ++n, ++i;
        if (i < line.size() && line[i] == '"') {
          // 2n backslashes and a quote: n backslashes, and the quote groups;
          // 2n + 1: n backslashes and a quote as text.
          word.append(n / 2, '\\');
          if (n % 2) {
            word += '"';
            ++i;
          }
        } else {
          word.append(n, '\\');
        }
      } else if (line[i] == '"') {
        // Inside quotes, "" is one quote as text and the quotes go on.
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          word += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        word += line[i++];
      }
    }
    words.push_back(std::move(word));
  }
}

std::vector<std::string> Execute_SplitCommandLine(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i >= line.size()) return {};
  // The program's name: up to the closing quote when it starts with one,
  // else up to a blank; backslashes are folder separators there.
  std::string program;
  if (line[i] == '"') {
    const size_t close = line.find('"', i + 1);
    program = line.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
    i = close == std::string_view::npos ? line.size() : close + 1;
  } else {
    while (i < line.size() && !IsBlank(line[i])) program += line[i++];
  }
  std::vector<std::string> words = Execute_SplitArguments(line.substr(i));
  words.insert(words.begin(), std::move(program));
  return words;
}

void Function_RegisterExecute() { Function_ImplementTable(kExecuteFunctions); }

}  // namespace tavrin
