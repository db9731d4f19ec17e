// The built-in functions served by the script engine itself.
#pragma once

#include <string>
#include <string_view>

#include "script/Code_Constant.h"
#include "script/Variable_Class.h"

namespace tavrin {

// Fills in the routines of the functions the engine owns: script_execute,
// execute_string, execute_file, the variable_* functions, and for now
// show_debug_message, show_error, is_real, is_string, string and real.
void Function_ImplementScriptEngine();

// Enters every built-in function, variable and constant and the engine's own
// routines, then asks the host for the function families that live outside
// the engine. Safe to call more than once.
void Script_InitEngine();

// A value as text: strings unchanged, whole reals as integer digits, other
// reals with two decimals.
std::string Value_ToText(const RValue& v);

}  // namespace tavrin
