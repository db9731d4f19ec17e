#include "script/Script_State.h"

namespace tavrin {

RScriptState g_ScriptState;

void RScriptState::ResetGlobals() {
  globals.Clear();
  globalDeclared.assign(10000, 0);
  anyGlobalDeclared = false;
}

void RScriptState::Reset() {
  errorText.clear();
  errorPending = false;
  errorLast.clear();
  errorOccurred = false;
  aborting = false;
  firstLogWrite = true;
  eventObject = eventType = eventNumber = action = 0;
  arguments = argumentSlots;
  for (RValue& a : argumentSlots) a = RValue();
  argumentCount = 0;
  argumentsUsed = 0;
  script = -1;
  function = -1;
  ResetGlobals();
}

}  // namespace tavrin
