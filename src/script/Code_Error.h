// Errors in game code: recording the first error of a compilation or run with
// its line and column, and reporting errors to the player (trace log, error
// window, "game_errors.log", the error_last and error_occurred variables).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

class CCode;

// The text of the error recorded for the code being compiled or run, and
// whether one is recorded. While one is, later errors are not recorded: the
// first error is the one the player needs to see.
extern std::string g_LastErrorText;
extern bool g_ErrorPending;

// Records `message` at the 1-based character `position` of `code`'s text,
// composing the line, the offending line and a caret under the column.
void Error_SetCodeError(const CCode* code, int32_t position, std::string_view message);
inline void Error_ClearPending() { g_ErrorPending = false; }

// The event being performed, for the heading of action errors. Set by the
// event performer; a report outside any event names the last values left here.
extern int32_t g_CurrentEventObject;
extern int32_t g_CurrentEventType;  // 0..11, or 100000 for a time-line moment
extern int32_t g_CurrentEventNumber;
extern int32_t g_CurrentAction;
constexpr int32_t kEventTimeLineMoment = 100000;

// The variables error_last and error_occurred.
extern std::string g_ErrorLast;
extern bool g_ErrorOccurred;

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
bool Error_Aborting();

// Shows a message box through the hook.
void Error_InternalMessage(std::string_view text);

// Starts a new run of the game: not aborting, the next log write starts a new
// file, error_last and error_occurred cleared.
void Error_ResetRun();

}  // namespace tavrin
