// The registry functions over the settings store (platform/Platform_Settings):
// the game's own key "Software\Tavrin\<game id>" of the current user, keys a
// game names itself under a root it chooses, and the player's secure-mode
// preference.
//
// Texts are stored as text values; reals as binary values of the eight bytes
// of the double, least significant first. A binary value of any other length
// reads as 0: a value some other program wrote is never read past its end.
#include "functions/Function_Registry.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "package/DataNew_Class.h"
#include "package/Package_Data.h"
#include "platform/Platform_Settings.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"

namespace tavrin {

namespace {

constexpr const char* kCurrentUser = "HKEY_CURRENT_USER";

// The root of the _ext functions, as the game last chose it.
struct RRegistryState {
  const char* root = kCurrentUser;
  void Reset() { root = kCurrentUser; }
};
RRegistryState g_Registry;

std::string GameKey() { return "Software\\Tavrin\\" + std::to_string(g_PackageData.identity.gameId); }

RSettingValue RealValue(double v) {
  RSettingValue value;
  value.type = RSettingValue::Binary;
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  for (int i = 0; i < 8; ++i) value.bytes += char((bits >> (8 * i)) & 0xFF);
  return value;
}

RSettingValue TextValue(std::string_view text) {
  RSettingValue value;
  value.bytes = std::string(text);
  return value;
}

void ReadString(const char* root, std::string_view key, std::string_view name, RValue& result) {
  RSettingValue v;
  const bool found = Settings_Read(root, key, name, v) && v.type == RSettingValue::Text;
  result.SetString(RString(found ? v.bytes : std::string()));
}

void ReadReal(const char* root, std::string_view key, std::string_view name, RValue& result) {
  RSettingValue v;
  if (!Settings_Read(root, key, name, v) || v.type != RSettingValue::Binary || v.bytes.size() != 8) return;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= uint64_t(static_cast<unsigned char>(v.bytes[size_t(i)])) << (8 * i);
  double d;
  std::memcpy(&d, &bits, 8);
  result.SetReal(d);
}

void Write(const char* root, std::string_view key, std::string_view name, const RSettingValue& value) {
  if (!Settings_Write(root, key, name, value))
    Error_ReportAction("Cannot write to the settings store in " + Settings_Folder(), false);
}

bool Exists(const char* root, std::string_view key, std::string_view name) {
  RSettingValue v;
  return Settings_Read(root, key, name, v);
}

FUNCTION_ROUTINE(F_WriteString) { Write(kCurrentUser, GameKey(), a[0].AsText(), TextValue(a[1].AsText())); }
FUNCTION_ROUTINE(F_WriteReal) { Write(kCurrentUser, GameKey(), a[0].AsText(), RealValue(a[1].AsReal())); }
FUNCTION_ROUTINE(F_ReadString) { ReadString(kCurrentUser, GameKey(), a[0].AsText(), result); }
FUNCTION_ROUTINE(F_ReadReal) { ReadReal(kCurrentUser, GameKey(), a[0].AsText(), result); }
FUNCTION_ROUTINE(F_Exists) {
  Settings_CreateKey(kCurrentUser, GameKey());
  result.SetReal(Exists(kCurrentUser, GameKey(), a[0].AsText()));
}

bool SecureRefuses(std::string_view key) {
  if (g_SecureMode) Error_ReportAction("In Secure mode you cannot write registry entries in " + std::string(key), false);
  return g_SecureMode;
}
FUNCTION_ROUTINE(F_WriteStringExt) {
  if (!SecureRefuses(a[0].AsText())) Write(g_Registry.root, a[0].AsText(), a[1].AsText(), TextValue(a[2].AsText()));
}
FUNCTION_ROUTINE(F_WriteRealExt) {
  if (!SecureRefuses(a[0].AsText())) Write(g_Registry.root, a[0].AsText(), a[1].AsText(), RealValue(a[2].AsReal()));
}
FUNCTION_ROUTINE(F_ReadStringExt) { ReadString(g_Registry.root, a[0].AsText(), a[1].AsText(), result); }
FUNCTION_ROUTINE(F_ReadRealExt) { ReadReal(g_Registry.root, a[0].AsText(), a[1].AsText(), result); }
// Asking creates the key when missing, except in secure mode, where a game
// writes no key of its own choosing.
FUNCTION_ROUTINE(F_ExistsExt) {
  if (!g_SecureMode) Settings_CreateKey(g_Registry.root, a[0].AsText());
  result.SetReal(Exists(g_Registry.root, a[0].AsText(), a[1].AsText()));
}

FUNCTION_ROUTINE(F_SetRoot) {
  switch (Real_ToInt64(a[0].AsReal())) {
    case 1: g_Registry.root = "HKEY_LOCAL_MACHINE"; break;
    case 2: g_Registry.root = "HKEY_CLASSES_ROOT"; break;
    case 3: g_Registry.root = "HKEY_USERS"; break;
    default: g_Registry.root = kCurrentUser; break;
  }
}

constexpr RFunctionRoutine kRegistryFunctions[] = {
    {"registry_write_string", F_WriteString},
    {"registry_write_real", F_WriteReal},
    {"registry_read_string", F_ReadString},
    {"registry_read_real", F_ReadReal},
    {"registry_exists", F_Exists},
    {"registry_write_string_ext", F_WriteStringExt},
    {"registry_write_real_ext", F_WriteRealExt},
    {"registry_read_string_ext", F_ReadStringExt},
    {"registry_read_real_ext", F_ReadRealExt},
    {"registry_exists_ext", F_ExistsExt},
    {"registry_set_root", F_SetRoot},
};

// A preference is on when it is a nonzero number, or a text "1" or "true".
bool PreferenceOn(const RSettingValue& v) {
  if (v.type == RSettingValue::Number) return v.number != 0;
  if (v.type == RSettingValue::Text) return v.bytes == "1" || v.bytes == "true";
  return false;
}

}  // namespace

bool Registry_SecureModePreference() {
  static constexpr const char* kPreferences = "Software\\Tavrin\\Version 8.1\\Preferences";
  RSettingValue v;
  bool secure = false;
  if (Settings_Read(kCurrentUser, kPreferences, "Warning", v)) {
    secure = PreferenceOn(v);
    if (Settings_Read(kCurrentUser, kPreferences, "TavrinRunning", v)) secure = secure && PreferenceOn(v);
  }
  return secure;
}

void Function_RegisterRegistry() { Function_ImplementTable(kRegistryFunctions); }

}  // namespace tavrin
