// Errors in game code: recording the first error of a compilation or run with
// its line and column, and reporting errors to the player (trace log, error
// window, "game_errors.log", the error_last and error_occurred variables).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/Script_State.h"

namespace tavrin {

class CCode;

// The error being recorded, the event being performed and the error
// variables are part of the script state (g_ScriptState).

// Records `message` at the 1-based character `position` of `code`'s text,
// composing the line, the offending line and a caret under the column.
void Error_SetCodeError(const CCode* code, int32_t position, std::string_view message);
inline void Error_ClearPending() { g_ScriptState.errorPending = false; }

// The central report: trace, window, log file, error variables, and the end of
// the game when the error is fatal or the player aborts.
void Error_Report(std::string_view message, bool fatal);
// The same with a heading naming the object, event and action being performed.
void Error_ReportAction(std::string_view message, bool fatal);

// Strings longer than kMaxStringLength are never built: the operators record
// this message as a code error, built-in functions report it.
inline constexpr std::string_view kStringTooLongMessage = "Resulting string is too long.";
// For built-in functions: true, after reporting the error, when a string of
// `bytes` bytes would pass the cap. Asked before the string is built.
bool Error_StringTooLong(size_t bytes);

// The event text used in headings ("Create Event", " Step Event" ...).
std::string Event_Description(int32_t type, int32_t number);

// True once a fatal error or an abort has been accepted; from then on reports
// only reach the trace log and running code stops at its next call.
inline bool Error_Aborting() { return g_ScriptState.aborting; }

// Shows a message box through the hook.
void Error_InternalMessage(std::string_view text);

}  // namespace tavrin
