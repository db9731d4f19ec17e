#include "script/Code_Standalone.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "script/Code_Builtins.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Script_Class.h"
#include "script/Variable_Main.h"

namespace tavrin {

namespace {

// The blank game: one room holding one instance of object 0.
CInstanceBase* g_Blank = nullptr;
int32_t BlankCount() { return g_Blank ? 1 : 0; }
CInstanceBase* BlankAt(int32_t pos) { return pos == 0 ? g_Blank : nullptr; }
int32_t BlankObjectCount(int32_t obj) { return obj == 0 && g_Blank ? 1 : 0; }
CInstanceBase* BlankObjectAt(int32_t obj, int32_t pos) { return obj == 0 && pos == 0 ? g_Blank : nullptr; }
std::string BlankObjectName(int32_t obj) { return obj == 0 ? "object0" : "<undefined>"; }

// Cuts the text at lines "#define NAME": before the first is the main code,
// after each such line the script NAME.
void SplitScripts(const std::string& text, std::string& main,
                  std::vector<std::pair<std::string, std::string>>& scripts) {
  std::string* current = &main;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    size_t next = end == std::string::npos ? text.size() : end + 1;
    if (end != std::string::npos && text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    std::string_view line(text.data() + pos, (end == std::string::npos ? text.size() : end) - pos);
    if (line.substr(0, 7) == "#define" && (line.size() == 7 || static_cast<unsigned char>(line[7]) <= 32)) {
      std::string_view name = line.substr(7);
      while (!name.empty() && static_cast<unsigned char>(name.front()) <= 32) name.remove_prefix(1);
      while (!name.empty() && static_cast<unsigned char>(name.back()) <= 32) name.remove_suffix(1);
      scripts.emplace_back(std::string(name), std::string());
      current = &scripts.back().second;
    } else {
      current->append(text, pos, next - pos);
    }
    pos = next;
  }
}

}  // namespace

int Code_RunStandaloneText(const std::string& text) {
  Script_InitEngine();
  Error_ResetRun();
  Variable_ResetGlobals();
  Argument_Reset();
  Script_Clear();

  std::string main;
  std::vector<std::pair<std::string, std::string>> scripts;
  SplitScripts(text, main, scripts);
  for (const auto& [name, body] : scripts) Script_Add(name, body);

  CInstanceBase instance;
  instance.i_id = kFirstInstanceId + 1;
  instance.i_objectindex = 0;
  const RScriptWorld savedWorld = g_ScriptWorld;
  const auto savedObjectName = g_ErrorHooks.ObjectName;
  g_Blank = &instance;
  g_ScriptWorld = {BlankCount, BlankAt, BlankObjectCount, BlankObjectAt};
  g_ErrorHooks.ObjectName = BlankObjectName;
  g_CurrentEventObject = 0;
  g_CurrentEventType = 0;
  g_CurrentEventNumber = 0;
  g_CurrentAction = 0;

  if (Script_CompileAll()) {
    CCodeRef code = Code_Create(main, false);
    if (!code->Compile()) {
      Error_ReportAction("COMPILATION ERROR in code action\r" + g_LastErrorText, true);
    } else {
      RValue result;
      Code_ExecuteReport(&instance, &instance, code.get(), result);
    }
  }
  std::fflush(stdout);

  Script_Clear();
  g_ScriptWorld = savedWorld;
  g_ErrorHooks.ObjectName = savedObjectName;
  g_Blank = nullptr;
  return Error_Aborting() ? 2 : 0;
}

int Code_RunStandaloneFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "Cannot read the code file %s\n", path.c_str());
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    std::fprintf(stderr, "Cannot read the code file %s\n", path.c_str());
    return 1;
  }
  return Code_RunStandaloneText(text.str());
}

}  // namespace tavrin
