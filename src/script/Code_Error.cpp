#include "script/Code_Error.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "package/Option_Main.h"
#include "platform/Platform_File.h"
#include "platform/Platform_Trace.h"
#include "script/Code_Main.h"
#include "script/Code_Text.h"
#include "script/Variable_Class.h"
#include "script/Script_Host.h"
#include "script/Script_State.h"
#include "package/Package_Data.h"

namespace tavrin {


namespace {


// Rewrites every line break (CR, LF or CR LF) as CR LF and maps `position` to
// the rewritten text, so that the line, column and caret of a message are the
// same whatever line ends the text was written with.
std::u16string NormalizeLineEnds(const std::u16string& t, int32_t& position) {
  std::u16string n;
  n.reserve(t.size() + 16);
  int32_t mapped = position;
  for (size_t i = 0; i < t.size(); ++i) {
    char16_t c = t[i];
    if (static_cast<int32_t>(i) + 1 == position) mapped = static_cast<int32_t>(n.size()) + 1;
    if (c == u'\r') {
      n += u"\r\n";
      if (i + 1 < t.size() && t[i + 1] == u'\n') {
        ++i;
        if (static_cast<int32_t>(i) + 1 == position) mapped = static_cast<int32_t>(n.size());
      }
    } else if (c == u'\n') {
      n += u"\r\n";
      if (static_cast<int32_t>(i) + 1 == position) mapped = static_cast<int32_t>(n.size());
    } else {
      n += c;
    }
  }
  position = mapped;
  return n;
}

}  // namespace

void Error_SetCodeError(const CCode* code, int32_t position, std::string_view message) {
  if (g_ScriptState.errorPending) return;
  g_ScriptState.errorPending = true;
  g_ScriptState.errorText.clear();
  std::u16string source = code ? Text_ToUTF16(code->GetText()) : std::u16string();
  int32_t p = position < 1 ? 1 : position;
  if (p > static_cast<int32_t>(source.size())) p = static_cast<int32_t>(source.size());

  // Line and column as the text was written: CR, a bare LF or a CR LF pair
  // ends a line, and the LF of a pair counts as a column of the next line.
  int32_t line = 1, column = 0;
  for (int32_t i = 0; i < p; ++i) {
    const char16_t c = source[i];
    if (c == u'\r' || (c == u'\n' && (i == 0 || source[i - 1] != u'\r'))) {
      ++line;
      column = 0;
    } else {
      ++column;
    }
  }
  // The offending line and the caret under it are found in the text with
  // every line end made CR LF, so that they come out right whatever line ends
  // the text has; the caret stands one further than the column of a line
  // after a single-character line end.
  int32_t q = p;
  const std::u16string t = NormalizeLineEnds(source, q);
  int32_t caret = 0;
  for (int32_t i = q; i > 0 && t[i - 1] != u'\r'; --i) ++caret;
  std::u16string offending;
  if (!t.empty()) {
    int32_t start = q < 1 ? 1 : q;
    while (start > 1 && t[start - 2] != u'\r') --start;
    size_t end = t.find(u'\r', static_cast<size_t>(start - 1));
    if (end == std::u16string::npos) end = t.size();
    offending = t.substr(static_cast<size_t>(start - 1), end - static_cast<size_t>(start - 1));
  }
  bool isProgram = !code || code->i_kind == CODE_PROGRAM;
  std::string& out = g_ScriptState.errorText;
  if (isProgram) {
    out = "Error in code at line " + std::to_string(line) + ":\r   " + Text_ToUTF8(offending) + "\r" +
          std::string(static_cast<size_t>(caret) + 1, ' ') + "^\rat position " + std::to_string(column) +
          ": ";
  } else {
    out = "Error in expression:" + Text_ToUTF8(source) + "\r position " + std::to_string(column) + ": ";
  }
  out += message;
}

std::string Event_Description(int32_t type, int32_t n) {
  switch (type) {
    case 0: return "Create Event";
    case 1: return "Destroy Event";
    case 2: return "Alarm Event for alarm " + std::to_string(n);
    case 3: {
      const char* step = n == 0 ? "" : n == 1 ? "Begin" : n == 2 ? "End" : "<unknown>";
      return std::string(step) + " Step Event";
    }
    case 4: return "Collision Event with object " + Host().ObjectName(n);
    case 5: return "Keyboard Event for " + Host().KeyName(n) + " Key";
    case 6: return "Mouse Event for " + Host().MouseEventName(n);
    case 7: {
      static const char* const kNames[] = {"Outside Room", "Intersect Boundary", "Game Start", "Game End",
                                           "Room Start",   "Room End",           "No More Lives",
                                           "Animation End", "End Of Path",       "No More Health"};
      std::string name;
      if (n >= 0 && n <= 9)
        name = kNames[n];
      else if (n >= 10 && n <= 25)
        name = "User Defined " + std::to_string(n - 10);
      else if (n == 30)
        name = "Close Button";
      else if (n >= 40 && n <= 47)
        name = "Outside View " + std::to_string(n - 40);
      else if (n >= 50 && n <= 57)
        name = "Boundary View " + std::to_string(n - 50);
      else
        name = "<unknown>";
      return "Other Event: " + name;
    }
    case 8: return "Draw Event";
    case 9: return "Key Press Event for " + Host().KeyName(n) + " Key";
    case 10: return "Key Release Event for " + Host().KeyName(n) + " Key";
    case 11: return "Trigger Event: " + Host().TriggerName(n);
    default: return "<Unknown Event>";
  }
}

void Error_Report(std::string_view message, bool fatal) {
  WriteTrace(message);
  if (g_ScriptState.aborting) return;
  if (g_PackageData.settings.opt_aborterrors) fatal = true;
  if (g_PackageData.settings.opt_showerrors) {
    bool aborted = Host().ShowErrorWindow(message, !fatal);
    if (!fatal) fatal = aborted;
  }
  if (g_PackageData.settings.opt_logerrors) {
    // One place whatever the working folder: beside the game. The text is
    // written as it is held, in UTF-8.
    const std::string log = (std::filesystem::path(File_ProgramFolder()) / "game_errors.log").string();
    if (FILE* f = std::fopen(log.c_str(), g_ScriptState.firstLogWrite ? "wb" : "ab")) {
      std::fwrite(message.data(), 1, message.size(), f);
      std::fputs("\r\n\r\n\r\n", f);
      std::fclose(f);
    }
    g_ScriptState.firstLogWrite = false;
  }
  g_ScriptState.errorLast = std::string(message);
  g_ScriptState.errorOccurred = true;
  if (fatal) {
    g_ScriptState.aborting = true;
    Host().RequestAbort();
  }
}

void Error_ReportAction(std::string_view message, bool fatal) {
  std::string text = fatal ? "FATAL ERROR in\r\n" : "ERROR in\r\n";
  text += "action number " + std::to_string(g_ScriptState.action + 1) + "\r\n";
  if (g_ScriptState.eventType == kEventTimeLineMoment) {
    text += "at time step " + std::to_string(g_ScriptState.eventNumber) + "\r\nof time line " +
            Host().TimeLineName(g_ScriptState.eventObject) + ":\r\n\r\n";
  } else {
    text += "of " + Event_Description(g_ScriptState.eventType, g_ScriptState.eventNumber) + "\r\nfor object " +
            Host().ObjectName(g_ScriptState.eventObject) + ":\r\n\r\n";
  }
  text += message;
  Error_Report(text, fatal);
}

bool Error_StringTooLong(size_t bytes) {
  if (bytes <= kMaxStringLength) return false;
  Error_ReportAction(kStringTooLongMessage, false);
  return true;
}

void Error_InternalMessage(std::string_view text) {
  WriteTrace(text);
  Host().MessageBox(text);
}



}  // namespace tavrin
