// The script engine's state while a game runs, in one place: the error being
// recorded and the error variables, the event and action being performed (for
// error headings), the argument slots of the running script, and the global
// variables. Reset() gives the state a new run of a game starts with.
//
// Game code runs on one thread; so does everything that reads this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/Variable_Class.h"

namespace tavrin {

constexpr int32_t kMaxArgumentSlots = 16;
constexpr int32_t kEventTimeLineMoment = 100000;  // the event type of a time-line moment

struct RScriptState {
  // --- errors ---
  // The text of the error recorded for the code being compiled or run, and
  // whether one is recorded. While one is, later errors are not recorded: the
  // first error is the one the player needs to see.
  std::string errorText;
  bool errorPending = false;
  // The variables error_last and error_occurred.
  std::string errorLast;
  bool errorOccurred = false;
  // Set once a fatal error or an abort has been accepted; from then on
  // reports only reach the trace log.
  bool aborting = false;
  // The next write to the error log starts a new file.
  bool firstLogWrite = true;

  // --- the event being performed ---
  // Set by the event performer; a report outside any event names the last
  // values left here.
  int32_t eventObject = 0;
  int32_t eventType = 0;  // 0..11, or kEventTimeLineMoment
  int32_t eventNumber = 0;
  int32_t action = 0;

  // --- script arguments ---
  // The sixteen slots code sees now: the state's own, or, while machine code
  // runs a script it called, sixteen registers of the call (so a call moves
  // no argument values in or out).
  RValue* arguments = argumentSlots;
  RValue argumentSlots[kMaxArgumentSlots];
  int32_t argumentCount = 0;
  // Slots at and above this are known to hold real 0, so calls save and clear
  // only the slots below it.
  int32_t argumentsUsed = 0;
  int32_t script = -1;    // the script being run (-1 outside scripts), named in argument messages
  int32_t function = -1;  // the built-in function being called, named by shared routines

  // --- global variables ---
  CVariableList globals;
  std::vector<uint8_t> globalDeclared = std::vector<uint8_t>(10000, 0);  // flag k: variable 100000 + k is globalvar
  // False while no flag can be set: then a name read on self need not look
  // at its flag. Set by every declaration and every load of the flags.
  bool anyGlobalDeclared = false;

  RScriptState() = default;
  RScriptState(const RScriptState&) = delete;
  RScriptState& operator=(const RScriptState&) = delete;
  void Reset();
  // Only the globals and their globalvar flags (a game restart).
  void ResetGlobals();
};

extern RScriptState g_ScriptState;

}  // namespace tavrin
