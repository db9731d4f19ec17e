#include "runner/Runner_CodeGame.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "runner/Runner_Host.h"
#include "script/Code_Builtins.h"
#include "script/Code_Error.h"
#include "script/Code_File.h"
#include "script/Script_Class.h"
#include "script/Variable_Main.h"
#include "world/Event_Action.h"
#include "world/Input_State.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/TimeLine_Main.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

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

// The blank game: object0 whose create event is one code action, and room0
// holding one instance of it, in place of the objects, rooms, time lines and
// triggers. The settings, pictures and paths in place stay, and so do the
// rooms' last ids (tests and tools set them up before the run).
void ClearGameObjects() {
  RWorldData& world = g_WorldData;
  world.objects.Clear();
  world.rooms.Clear();
  world.roomOrder.clear();
  world.timeLines.Clear();
  world.triggers.Clear();
  world.libraryInitCode.clear();
}

void BuildBlankGame(const std::string& code) {
  ClearGameObjects();
  auto object = std::make_unique<CObject>();
  object->AddEvent(EV_CREATE, 0).e_actions.push_back(CAction::CreateCode(code));
  g_WorldData.objects.Add(std::move(object), "object0");
  auto room = std::make_unique<CRoom>();
  RRoomInstance placed;
  placed.object = 0;
  placed.id = kFirstInstanceId + 1;
  room->r_instances.push_back(placed);
  g_WorldData.rooms.Add(std::move(room), "room0");
  g_WorldData.roomOrder = {0};
  Room_PrepareIds();
}

}  // namespace

int Runner_PlayCodeText(const std::string& text, RRunConfig config) {
  Runner_InstallEngineHost();
  g_ScriptState.Reset();
  g_ScriptData.Clear();
  g_World.Reset();
  g_Input.Reset();  // a fresh window's input: nothing held, the identity key map

  std::string main;
  std::vector<std::pair<std::string, std::string>> scripts;
  SplitScripts(text, main, scripts);
  for (const auto& [name, body] : scripts) g_ScriptData.scripts.Add(name, body);
  BuildBlankGame(main);

  if (Script_CompileAll() && Object_CompileAll() && Trigger_PrepareAll()) {
    if (config.steps < 0) config.steps = 1;
    Run_Configure(config);
    RunMain();
  }
  std::fflush(stdout);
  const int status = Run_ExitStatus();
  g_ScriptData.Clear();
  ClearGameObjects();
  return status;
}

int Runner_PlayCodeFile(const std::string& path, RRunConfig config) {
  std::string text;
  switch (Code_ReadFile(path, text)) {
    case ECodeFile::Read: return Runner_PlayCodeText(text, config);
    case ECodeFile::Unreadable: std::fprintf(stderr, "Cannot read the code file %s\n", path.c_str()); break;
    case ECodeFile::Directory: std::fprintf(stderr, "%s is a directory, not a code file\n", path.c_str()); break;
    case ECodeFile::TooLarge:
      std::fprintf(stderr, "The code file %s is too large: more than %zu MiB of code\n", path.c_str(),
                   kMaxCodeFileMiB);
      break;
  }
  return 1;
}

}  // namespace tavrin
