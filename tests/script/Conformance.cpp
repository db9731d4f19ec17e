#include "Conformance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "package/Option_Main.h"
#include "runner/Runner_CodeGame.h"
#include "package/Package_Data.h"

namespace tavrin::test {

namespace {

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::filesystem::path TempFolder() {
  static std::filesystem::path dir = [] {
    char templ[] = "/tmp/tavrin_script_XXXXXX";
    const char* made = mkdtemp(templ);
    return std::filesystem::path(made ? made : "/tmp");
  }();
  return dir;
}

// Runs the code inside this process with the settings applied, capturing the
// standard streams through files.
CodeResult RunInProcess(const std::string& code, unsigned settings) {
  const RGameSettings saved = g_PackageData.settings;
  g_PackageData.settings.opt_uninitzero = settings & SET_UNINITZERO;
  g_PackageData.settings.opt_checkargs = settings & SET_CHECKARGS;
  g_PackageData.settings.opt_aborterrors = settings & SET_ABORTERRORS;
  g_PackageData.settings.opt_showerrors = !(settings & SET_NOSHOWERRORS);
  const auto outPath = TempFolder() / "inproc.out";
  const auto errPath = TempFolder() / "inproc.err";
  std::fflush(stdout);
  std::fflush(stderr);
  int savedOut = dup(1), savedErr = dup(2);
  FILE* out = std::fopen(outPath.c_str(), "wb");
  FILE* err = std::fopen(errPath.c_str(), "wb");
  dup2(fileno(out), 1);
  dup2(fileno(err), 2);
  CodeResult r;
  r.status = Runner_PlayCodeText(code, RRunConfig{});
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(savedOut, 1);
  dup2(savedErr, 2);
  close(savedOut);
  close(savedErr);
  std::fclose(out);
  std::fclose(err);
  g_PackageData.settings = saved;
  r.out = ReadAll(outPath);
  r.err = ReadAll(errPath);
  return r;
}

}  // namespace

CodeResult RunCode(const std::string& code, unsigned settings) {
  if (settings != SET_NONE) return RunInProcess(code, settings);
  static int counter = 0;
  const auto base = TempFolder() / ("case" + std::to_string(++counter));
  const std::string file = base.string() + ".tvs";
  std::ofstream(file, std::ios::binary) << code;
  const std::string command = std::string("'") + TAVRIN_EXE + "' --code '" + file + "' >'" + base.string() +
                              ".out' 2>'" + base.string() + ".err'";
  CodeResult r;
  int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  r.out = ReadAll(base.string() + ".out");
  r.err = ReadAll(base.string() + ".err");
  return r;
}

void RunTable(const std::vector<CodeCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CodeResult r = RunCode(c.code, c.settings);
    EXPECT_EQ(r.out, c.out) << "code: " << c.code;
    EXPECT_EQ(r.err, c.err) << "code: " << c.code;
    EXPECT_EQ(r.status, c.status) << "code: " << c.code;
  }
}

std::string ActionError(const std::string& body) {
  return "ERROR in\naction number 1\nof Create Event\nfor object object0:\n\n" + body + "\n";
}

std::string CompileError(const std::string& body) {
  return "FATAL ERROR in\naction number 1\nof Create Event\nfor object object0:\n\nCOMPILATION ERROR in code action\n" +
         body + "\n";
}

std::string Show(std::initializer_list<const char*> expressions) {
  std::string code;
  for (const char* e : expressions) code += std::string("show_debug_message(") + e + ");\n";
  return code;
}

std::string CodeError(int line, const std::string& text, int column, const std::string& message, int caret) {
  if (caret < 0) caret = column;
  return "Error in code at line " + std::to_string(line) + ":\n   " + text + "\n" +
         std::string(static_cast<size_t>(caret) + 1, ' ') + "^\nat position " + std::to_string(column) + ": " +
         message;
}

}  // namespace tavrin::test
