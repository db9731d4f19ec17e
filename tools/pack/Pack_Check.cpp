#include "Pack_Check.h"

#include "runner/Runner_GameData.h"
#include "runner/Runner_Host.h"
#include "script/Code_Constant.h"
#include "script/Code_Error.h"
#include "script/Code_Main.h"
#include "script/Script_Package.h"
#include "world/Event_Action.h"
#include "script/Script_State.h"
#include "script/Script_Class.h"

namespace tavrin {

namespace {

// The compiler's message with its lines (the line number, the offending line
// and a caret under the column) separated for a terminal.
[[noreturn]] void Refuse(const std::string& where, const std::string& field, const std::string& part) {
  std::string at = where;
  if (!field.empty()) at += ": field \"" + field + "\"";
  if (!part.empty()) at += ": " + part;
  std::string error = g_ScriptState.errorText;
  for (char& c : error)
    if (c == '\r') c = '\n';
  throw CProjectError(at + ": " + error);
}

// The constants come first, as when the runner prepares a game: code may use
// them. They are read from the game in place (the project's own, while it is
// checked). Their values are only computed when the game runs; compiling needs
// only a value of the right kind, so one that is not a plain constant stands
// as 0 here.
void DefineConstants(const RProject& project) {
  const std::string where = (project.dir / "game.json").string();
  Constant_ResetUser();
  for (const auto& [rawName, text] : g_ScriptData.constants) {
    std::string_view name = rawName;
    while (!name.empty() && static_cast<unsigned char>(name.front()) <= 32) name.remove_prefix(1);
    while (!name.empty() && static_cast<unsigned char>(name.back()) <= 32) name.remove_suffix(1);
    if (!Constant_IsValidName(name))
      throw CProjectError(where + ": field \"constants\": \"" + rawName +
                          "\" is not a constant name (a letter or _, then letters, digits and _)");
    CCodeRef code = Code_Create(text, true);
    if (!code->Compile()) Refuse(where, "constants", "the value of " + std::string(name));
    Constant_Add(name, code->i_kind == CODE_CONSTANT ? code->i_value : RValue::Real(0));
  }
}

}  // namespace

void Check_AllCode(const RProject& project) {
  Runner_InstallEngineHost();
  // The code names the project's resources: its data stands in place of the
  // installed game while it is compiled, and goes back however that ends.
  struct CInPlace {
    RGameData& data;
    explicit CInPlace(RGameData& d) : data(d) { Game_Swap(data); }
    ~CInPlace() { Game_Swap(data); }
  } inPlace(project.data);
  DefineConstants(project);
  for (const RProjectCode& code : project.code) {
    if (code.actions.empty()) {
      CCodeRef compiled = Code_Create(code.text, code.expression);
      if (!compiled->Compile()) Refuse(code.where, code.field, "");
      continue;
    }
    for (size_t i = 0; i < code.actions.size(); ++i) {
      const std::string part = Action_CompileError(code.actions[i]);
      if (part.empty()) continue;
      Refuse(code.where, code.field, code.actions.size() == 1 ? part : "action " + std::to_string(i) + ", " + part);
    }
  }
  Constant_ResetUser();
}

}  // namespace tavrin
