// The clipboard, the program's priority and title, and the platform queries
// of game code.
//
// Orvo_EnableAlphaBlend acts on the game window and its graphics device; it
// is filled in with the graphics.
#include "functions/Function_System.h"

#include <string>

#include "platform/Platform.h"
#include "platform/Platform_Trace.h"
#include "script/Code_Function.h"
#include "script/Variable_Class.h"

namespace tavrin {

namespace {

// The clipboard of a run with no desktop clipboard: code run on its own has
// no platform, and a desktop may refuse the clipboard. The text then stays in
// this process, so a game that copies and pastes behaves the same everywhere.
struct RLocalClipboard {
  bool inUse = false;
  std::string text;
};
RLocalClipboard g_LocalClipboard;

bool SystemClipboard() { return Platform_Installed() && !g_LocalClipboard.inUse; }

void Clipboard_Set(const std::string& text) {
  if (SystemClipboard() && Platform().Clipboard_SetText(text)) return;
  if (!g_LocalClipboard.inUse && Platform_Installed())
    WriteTrace("No system clipboard: the game's clipboard stays in the game");
  g_LocalClipboard.inUse = true;
  g_LocalClipboard.text = text;
}

std::string Clipboard_Get() {
  if (!SystemClipboard()) return g_LocalClipboard.text;
  std::string text;
  return Platform().Clipboard_GetText(text) ? text : std::string();
}

FUNCTION_ROUTINE(F_ClipboardHasText) { result.SetReal(Clipboard_Get().empty() ? 0 : 1); }
FUNCTION_ROUTINE(F_ClipboardGetText) { result.SetString(RString(Clipboard_Get())); }
FUNCTION_ROUTINE(F_ClipboardSetText) { Clipboard_Set(std::string(a[0].AsText())); }

FUNCTION_ROUTINE(F_SetProgramPriority) {
  // -3 idle to 3 time critical; any other value is normal.
  const int64_t p = Real_ToInt64(a[0].AsReal());
  const int level = p >= -3 && p <= 3 ? static_cast<int>(p) : 0;
  if (Platform_Installed() && !Platform().Process_SetPriority(level))
    WriteTrace("Program priority " + std::to_string(level) + " not set: this user may not set it");
}
FUNCTION_ROUTINE(F_SetApplicationTitle) {
  if (a[0].IsString() && Platform_Installed()) Platform().Application_SetTitle(std::string(a[0].AsText()));
}

// Queries that other platforms answer; here they describe a desktop and do
// nothing else.
FUNCTION_ROUTINE(F_Nothing) {}
FUNCTION_ROUTINE(F_GetDomain) { result.SetString(RString("unknown")); }


constexpr RFunctionRoutine kSystemFunctions[] = {
    {"clipboard_has_text", F_ClipboardHasText},
    {"clipboard_get_text", F_ClipboardGetText},
    {"clipboard_set_text", F_ClipboardSetText},
    {"set_program_priority", F_SetProgramPriority},
    {"set_application_title", F_SetApplicationTitle},
    {"Orvo_GetPlatform", F_Nothing},  // 0, os_win32: the desktop family
    {"Orvo_GetDevice", F_Nothing},    // 0, as os_device
    {"Orvo_GetDomain", F_GetDomain},
    {"Orvo_GetTimer", F_Nothing},
    {"Orvo_OpenURL", F_Nothing},
    {"Orvo_OpenURL_ext", F_Nothing},
    {"Orvo_OpenURL_full", F_Nothing},
    {"Orvo_AddVirtualKey", F_Nothing},
    {"Orvo_DeleteVirtualKey", F_Nothing},
    {"Orvo_ShowVirtualKey", F_Nothing},
    {"Orvo_HideVirtualKey", F_Nothing},
};

}  // namespace

void Function_RegisterSystem() { Function_ImplementTable(kSystemFunctions); }

}  // namespace tavrin
