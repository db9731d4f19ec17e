// Extension packages: libraries, code files and constants that a game brings
// along, in their package form. Calling their functions comes with the
// external-function family.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "package/Support_Stream.h"

namespace tavrin {

struct CExtensionConstant {
  std::string s_name, s_value;
};

struct CExtensionFunction {
  std::string s_name;     // the name game code uses
  std::string s_extname;  // the exported name, or the #define name in a code file
  int32_t s_kind = 12;    // library files: 12 cdecl, else stdcall
  int32_t s_id = 0;       // unique over all packages of the game
  int32_t s_argcount = -1;
  std::array<int32_t, 17> s_argtype{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};  // 1 string, 2 real
  int32_t s_returntype = 2;
};

struct CExtensionFile {
  std::string s_filename;
  int32_t s_kind = 1;  // 1 library, 2 code file, 3 no stored data, 4 other file
  std::string s_init, s_final;
  std::vector<CExtensionFunction> s_functions;
  std::vector<CExtensionConstant> s_constants;
  CStream s_data;  // the file's bytes (kinds other than 3)
};

struct CExtensionPackage {
  std::string s_name;
  std::string s_folder;  // under the temporary folder
  std::vector<CExtensionFile> s_includes;
  int32_t s_key = 0;     // the key of the file data's scrambling

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
  // Writes library and other files into the temporary folder; false when a
  // name would leave it.
  bool WriteFiles() const;
};

extern std::vector<CExtensionPackage> g_Extensions;

// The extension section. Files are written out as they load when the runner
// has a temporary folder.
bool Extension_LoadAll(CStream& content, std::vector<CExtensionPackage>& packages);
void Extension_SaveAll(CStream& content, const std::vector<CExtensionPackage>& packages);

}  // namespace tavrin
