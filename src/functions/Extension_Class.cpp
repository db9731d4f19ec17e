#include "functions/Extension_Class.h"

#include <filesystem>

#include "package/Support_TempDir.h"
#include "platform/Platform_Trace.h"

namespace tavrin {

std::vector<CExtensionPackage> g_Extensions;

namespace {

constexpr int32_t kExtensionVersion = 700;

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}


bool ReadFunction(CStream& s, CExtensionFunction& f) {
  if (s.ReadInteger() != kExtensionVersion) return false;
  f.s_name = s.ReadString();
  f.s_extname = s.ReadString();
  f.s_kind = s.ReadInteger();
  f.s_id = s.ReadInteger();
  f.s_argcount = s.ReadInteger();
  for (int32_t& t : f.s_argtype) t = s.ReadInteger();
  f.s_returntype = s.ReadInteger();
  if (f.s_returntype != 1 && f.s_returntype != 2) f.s_returntype = 2;
  return true;
}

void WriteFunction(CStream& s, const CExtensionFunction& f) {
  s.WriteInteger(kExtensionVersion);
  s.WriteString(f.s_name);
  s.WriteString(f.s_extname);
  s.WriteInteger(f.s_kind);
  s.WriteInteger(f.s_id);
  s.WriteInteger(f.s_argcount);
  for (int32_t t : f.s_argtype) s.WriteInteger(t);
  s.WriteInteger(f.s_returntype);
}

bool ReadFile(CStream& s, CExtensionFile& file) {
  if (s.ReadInteger() != kExtensionVersion) return false;
  file.s_filename = s.ReadString();
  file.s_kind = s.ReadInteger();
  file.s_init = s.ReadString();
  file.s_final = s.ReadString();
  const int32_t functions = s.ReadInteger();
  if (!s.CountFits(functions, 4)) return false;
  file.s_functions.resize(size_t(functions));
  for (CExtensionFunction& f : file.s_functions)
    if (!ReadFunction(s, f)) return false;
  const int32_t constants = s.ReadInteger();
  if (!s.CountFits(constants, 4)) return false;
  file.s_constants.resize(size_t(constants));
  for (CExtensionConstant& c : file.s_constants) {
    if (s.ReadInteger() != kExtensionVersion) return false;
    c.s_name = s.ReadString();
    c.s_value = s.ReadString();
  }
  return true;
}

void WriteFile(CStream& s, const CExtensionFile& file) {
  s.WriteInteger(kExtensionVersion);
  s.WriteString(file.s_filename);
  s.WriteInteger(file.s_kind);
  s.WriteString(file.s_init);
  s.WriteString(file.s_final);
  s.WriteInteger(int32_t(file.s_functions.size()));
  for (const CExtensionFunction& f : file.s_functions) WriteFunction(s, f);
  s.WriteInteger(int32_t(file.s_constants.size()));
  for (const CExtensionConstant& c : file.s_constants) {
    s.WriteInteger(kExtensionVersion);
    s.WriteString(c.s_name);
    s.WriteString(c.s_value);
  }
}

// The file data begins with the key; everything from one byte past the key
// on is scrambled with the byte cipher.
constexpr int64_t kScrambleStart = 4 + 1;

}  // namespace

bool CExtensionPackage::LoadFromStream(CStream& s) {
  *this = CExtensionPackage{};
  if (s.ReadInteger() != kExtensionVersion) return false;
  s_name = s.ReadString();
  s_folder = s.ReadString();
  const int32_t files = s.ReadInteger();
  if (!s.CountFits(files, 4)) return false;
  s_includes.resize(size_t(files));
  for (CExtensionFile& file : s_includes)
    if (!ReadFile(s, file)) return false;
  for (CExtensionFile& file : s_includes)
    for (CExtensionFunction& f : file.s_functions) {
      f.s_name = Trim(f.s_name);
      f.s_extname = Trim(f.s_extname);
      if (f.s_extname.empty()) f.s_extname = f.s_name;
      if (f.s_argcount > 4) f.s_argtype.fill(2);
    }
  CStream data = s.ReadStream();
  s_key = data.ReadInteger();
  data.Decrypt(s_key, kScrambleStart, 0);
  for (CExtensionFile& file : s_includes)
    if (file.s_kind != 3) file.s_data = data.ReadStreamC();
  return true;
}

void CExtensionPackage::SaveToStream(CStream& s) const {
  s.WriteInteger(kExtensionVersion);
  s.WriteString(s_name);
  s.WriteString(s_folder);
  s.WriteInteger(int32_t(s_includes.size()));
  for (const CExtensionFile& file : s_includes) WriteFile(s, file);
  CStream data;
  data.WriteInteger(s_key);
  for (const CExtensionFile& file : s_includes)
    if (file.s_kind != 3) data.WriteStreamC(file.s_data);
  data.Encrypt(s_key, kScrambleStart, 0);
  s.WriteStream(data);
}

bool CExtensionPackage::WriteFiles() const {
  if (TempDir().empty()) return true;
  if (!Path_StaysInside(s_folder)) return false;
  const std::string folder = TempDir() + "/" + s_folder;
  for (const CExtensionFile& file : s_includes) {
    if (file.s_kind != 1 && file.s_kind != 4) continue;
    if (!Path_StaysInside(file.s_filename)) return false;
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::path(folder) / file.s_filename;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (!file.s_data.SaveToFile(path.string())) WriteTrace("Extension file not written: " + path.string());
  }
  return true;
}

bool Extension_LoadAll(CStream& content, std::vector<CExtensionPackage>& packages) {
  packages.clear();
  if (content.ReadInteger() != kExtensionVersion) return false;
  const int32_t count = content.ReadInteger();
  if (!content.CountFits(count, 4)) return false;
  packages.resize(size_t(count));
  for (CExtensionPackage& package : packages)
    if (!package.LoadFromStream(content) || !package.WriteFiles()) return false;
  return true;
}

void Extension_SaveAll(CStream& content, const std::vector<CExtensionPackage>& packages) {
  content.WriteInteger(kExtensionVersion);
  content.WriteInteger(int32_t(packages.size()));
  for (const CExtensionPackage& package : packages) package.SaveToStream(content);
}

}  // namespace tavrin
