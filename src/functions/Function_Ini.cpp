// The ini-file functions: one ini file open at a time, kept in memory, and
// written back whole after every change, through a temporary file and a
// rename, so that a crash never leaves half a file behind.
//
// Ini files hold 8-bit text in the system code page, like the game's text
// files; a file that begins with the UTF-8 mark is read and written as UTF-8.
#include "functions/Function_Ini.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "functions/Support_CodePage.h"
#include "functions/Support_Ini.h"
#include "package/Support_Path.h"
#include "package/Support_Stream.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"

namespace tavrin {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct ROpenIni {
  std::string name;  // as the game gave it
  std::string path;  // on this machine
  bool utf8 = false;
  CIniFile ini;
};

struct RIniState {
  std::optional<ROpenIni> open;
  void Reset() { open.reset(); }
};
RIniState g_Ini;

bool Save(const ROpenIni& f) {
  const std::string text = f.ini.Text();
  const std::string bytes = f.utf8 ? std::string(kUtf8Mark) + text : CodePage_FromUtf8(text);
  return CStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).SaveToFile(f.path);
}

// The open ini file for a change; nullptr after the message when there is
// none, or when secure mode keeps its file from being written.
ROpenIni* ForChange(const char* undefined) {
  if (!g_Ini.open) {
    Error_ReportAction(undefined, false);
    return nullptr;
  }
  if (Path_SecureRefuses(g_Ini.open->name)) {
    Error_ReportAction("In secure mode you cannot write file " + g_Ini.open->name, false);
    return nullptr;
  }
  return &*g_Ini.open;
}

void Saved(ROpenIni& f) {
  if (!Save(f)) Error_ReportAction("Error writing ini file " + f.path, false);
}

const CIniFile* ForReading() {
  if (!g_Ini.open) Error_ReportAction("Trying to read from undefined INI file", false);
  return g_Ini.open ? &g_Ini.open->ini : nullptr;
}

FUNCTION_ROUTINE(F_IniOpen) {
  // Every change was saved when it was made, so closing needs no write.
  g_Ini.Reset();
  const std::string_view name = a[0].AsText();
  std::error_code ec;
  const std::string local = Path_FromGame(name);
  const std::filesystem::path full = local.empty() ? std::filesystem::path(name) : std::filesystem::absolute(local, ec);
  struct stat st;
  const std::string folder = full.parent_path().string();
  if (local.empty() || ::stat(folder.empty() ? "/" : folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return Error_ReportAction("Error directory does not exist when opening ini file - " + full.string(), false);
  ROpenIni f;
  f.name = std::string(name);
  f.path = full.string();
  CStream file;
  std::string text;
  if (file.LoadFromFile(f.path)) {
    text.assign(reinterpret_cast<const char*>(file.Data()), file.Size());
    f.utf8 = text.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0;
    text = f.utf8 ? text.substr(kUtf8Mark.size()) : CodePage_ToUtf8(text);
  }
  f.ini.Parse(text);
  g_Ini.open = std::move(f);
}

FUNCTION_ROUTINE(F_IniClose) { g_Ini.Reset(); }

FUNCTION_ROUTINE(F_IniReadString) {
  const CIniFile* ini = ForReading();
  if (!ini) return result.SetString(RString());
  const std::string* value = ini->Find(a[0].AsText(), a[1].AsText());
  if (value) return result.SetString(RString(*value));
  // A real default reads back as its ini text.
  result.SetString(a[2].IsString() ? a[2].AsString() : RString(Ini_RealText(a[2].AsReal())));
}

FUNCTION_ROUTINE(F_IniReadReal) {
  const CIniFile* ini = ForReading();
  if (!ini) return;
  const std::string* value = ini->Find(a[0].AsText(), a[1].AsText());
  result.SetReal(Ini_ParseReal(value ? std::string_view(*value) : std::string_view(Ini_RealText(a[2].AsReal()))));
}

FUNCTION_ROUTINE(F_IniWriteString) {
  ROpenIni* f = ForChange("Trying to write to undefined INI file");
  if (!f) return;
  if (f->ini.Set(a[0].AsText(), a[1].AsText(), a[2].IsString() ? std::string(a[2].AsText()) : Ini_RealText(a[2].AsReal())))
    Saved(*f);
}

FUNCTION_ROUTINE(F_IniWriteReal) {
  ROpenIni* f = ForChange("Trying to write to undefined INI file");
  if (!f) return;
  if (f->ini.Set(a[0].AsText(), a[1].AsText(), Ini_RealText(a[2].AsReal()))) Saved(*f);
}

FUNCTION_ROUTINE(F_IniKeyExists) {
  if (const CIniFile* ini = ForReading()) result.SetReal(ini->Find(a[0].AsText(), a[1].AsText()) != nullptr);
}
FUNCTION_ROUTINE(F_IniSectionExists) {
  if (const CIniFile* ini = ForReading()) result.SetReal(ini->SectionExists(a[0].AsText()));
}

FUNCTION_ROUTINE(F_IniKeyDelete) {
  ROpenIni* f = ForChange("Trying to change undefined INI file");
  if (!f) return;
  f->ini.DeleteKey(a[0].AsText(), a[1].AsText());
  Saved(*f);
}
FUNCTION_ROUTINE(F_IniSectionDelete) {
  ROpenIni* f = ForChange("Trying to change undefined INI file");
  if (!f) return;
  f->ini.DeleteSection(a[0].AsText());
  Saved(*f);
}

constexpr RFunctionRoutine kIniFunctions[] = {
    {"ini_open", F_IniOpen},
    {"ini_close", F_IniClose},
    {"ini_read_string", F_IniReadString},
    {"ini_read_real", F_IniReadReal},
    {"ini_write_string", F_IniWriteString},
    {"ini_write_real", F_IniWriteReal},
    {"ini_key_exists", F_IniKeyExists},
    {"ini_section_exists", F_IniSectionExists},
    {"ini_key_delete", F_IniKeyDelete},
    {"ini_section_delete", F_IniSectionDelete},
};

}  // namespace

void Function_RegisterIni() { Function_ImplementTable(kIniFunctions); }

}  // namespace tavrin
