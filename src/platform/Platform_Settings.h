// The settings store: where games keep small values between runs (high
// scores, options, the player's name) under named keys, the way a desktop
// registry holds them, and where the player's own preferences for the
// runner live.
//
// The store is one text file, "settings.txt", in $TAVRIN_HOME when that is
// set, else in $XDG_CONFIG_HOME/tavrin (~/.config/tavrin by default); its
// format is described in docs/settings-store.md. Every change takes a lock
// on "settings.lock" beside it, reads the file afresh, changes it and
// writes it through a temporary file and a rename: two games writing at once
// lose nothing, and a crash in the middle leaves the old file whole.
//
// A key is a root ("HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
// "HKEY_CLASSES_ROOT" or "HKEY_USERS") and a path of names separated by
// "\"; key and value names are compared without regard to letter case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

struct RSettingValue {
  enum EType { Text, Number, Binary };
  EType type = Text;
  std::string bytes;    // Text (UTF-8) and Binary
  uint32_t number = 0;  // Number
};

// The folder of the store (not created).
std::string Settings_Folder();

// The value `name` of the key; false when the key or the value is missing
// (or the store cannot be read).
bool Settings_Read(std::string_view root, std::string_view key, std::string_view name, RSettingValue& value);
bool Settings_KeyExists(std::string_view root, std::string_view key);
// Sets the value, creating the key when missing; false when the store could
// not be written.
bool Settings_Write(std::string_view root, std::string_view key, std::string_view name, const RSettingValue& value);
// Creates the key when missing; false when the store could not be written.
bool Settings_CreateKey(std::string_view root, std::string_view key);

}  // namespace tavrin
