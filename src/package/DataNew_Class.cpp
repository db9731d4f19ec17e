#include "package/DataNew_Class.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "package/Package_Sections.h"
#include "package/Support_TempDir.h"
#include "platform/Platform_Trace.h"
#include "package/Package_Data.h"

namespace tavrin {

bool g_SecureMode = false;

namespace {

constexpr int32_t kDataFileVersion = 800;

std::string Slashes(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

}  // namespace

bool CDataFile::LoadFromStream(CStream& s) {
  *this = CDataFile{};
  if (s.ReadInteger() != kDataFileVersion) return false;
  s_filename = s.ReadString();
  s_origname = s.ReadString();
  s_exists = s.ReadBoolean();
  s_size = s.ReadInteger();
  s_store = s.ReadBoolean();
  if (s_exists && s_store) s_data = s.ReadStream();
  s_exportaction = s.ReadInteger();
  s_exportdir = s.ReadString();
  s_overwrite = s.ReadBoolean();
  s_freedata = s.ReadBoolean();
  s_removeend = s.ReadBoolean();
  return true;
}

void CDataFile::SaveToStream(CStream& s) const {
  s.WriteInteger(kDataFileVersion);
  s.WriteString(s_filename);
  s.WriteString(s_origname);
  s.WriteBoolean(s_exists);
  s.WriteInteger(s_size);
  s.WriteBoolean(s_store);
  if (s_exists && s_store) s.WriteStream(s_data);
  s.WriteInteger(s_exportaction);
  s.WriteString(s_exportdir);
  s.WriteBoolean(s_overwrite);
  s.WriteBoolean(s_freedata);
  s.WriteBoolean(s_removeend);
}

bool CDataFile::ExportIt(const std::string& fname) {
  if (!s_exists) return false;
  struct stat st;
  if (::lstat(fname.c_str(), &st) == 0 && !s_overwrite) return false;
  return s_data.SaveToFile(fname);
}

void CDataFile::Discard() {
  if (!s_exists) return;
  s_exists = false;
  s_data.Clear();
}

std::string CDataFile::ExportPath() const {
  if (!Path_StaysInside(s_filename)) return {};
  const std::string name = Slashes(s_filename);
  switch (s_exportaction) {
    case 1: return TempDir().empty() ? std::string() : TempDir() + "/" + name;
    case 2: return name;
    case 3:
      // The folder, like the name, is relative to the working folder and
      // never climbs out of it: a package cannot write where it likes.
      if (s_exportdir.empty()) return name;
      return Path_StaysInside(s_exportdir) ? Slashes(s_exportdir) + "/" + name : std::string();
    default: return {};
  }
}

bool CDataFile::Prepare(std::string& refusal) {
  if (!s_exists) return false;
  if (s_exportaction == 0) return true;
  if (g_SecureMode && s_filename.find_first_of("/\\") != std::string::npos) {
    refusal = "In secure mode you cannot export a data file to " + s_filename;
    return false;
  }
  if (g_SecureMode && s_exportaction == 3) {
    refusal = "In secure mode you cannot export a data file to an indicated directory.";
    return false;
  }
  const std::string path = ExportPath();
  bool ok = false;
  if (path.empty()) {
    WriteTrace("Included file " + s_filename + " not exported: its name leaves its folder");
  } else if (!Path_RealFolderInside(path, s_exportaction == 1 ? TempDir() : ".")) {
    // The name is fine as text, but a symbolic link already on its way
    // leads out of the folder.
    WriteTrace("Included file " + s_filename + " not exported: a link on its way leaves its folder");
  } else {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    ok = ExportKeeping(path);
  }
  if (s_freedata) Discard();
  return ok;
}

bool CDataFile::ExportKeeping(const std::string& path) {
  struct stat st;
  std::string kept;
  bool moved = false;
  if (s_exists && s_overwrite && s_removeend && path != s_writtenPath) {
    // The end removes the export: the player's file waits beside it, under a
    // hidden name, and comes back then. A run that ended without its clean-up
    // left it there already: what stands at `path` is that run's export, and
    // the file aside stays the one to put back.
    const std::filesystem::path p(path);
    kept = (p.parent_path() / ("." + p.filename().string() + ".kept")).string();
    if (::lstat(kept.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) == 0) {
      if (::rename(path.c_str(), kept.c_str()) != 0) return false;
      moved = true;
    } else if (::lstat(kept.c_str(), &st) != 0) {
      kept.clear();  // nothing of the player's to keep
    }
  } else if (s_exists && s_overwrite && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
             ::unlink(path.c_str()) != 0) {
    return false;  // the export replaces a link; it never writes through one
  }
  if (!ExportIt(path)) {
    if (moved) ::rename(kept.c_str(), path.c_str());
    return false;
  }
  if (!kept.empty()) s_keptPath = kept;
  s_writtenPath = path;
  return true;
}

bool CDataFile::Remove() {
  if (!s_removeend) return true;
  if (g_SecureMode && (s_filename.find_first_of("/\\") != std::string::npos || s_exportaction == 3)) return false;
  if (s_exportaction == 0) return true;
  // Only a file this run wrote is removed: a file of the same name that was
  // there before belongs to the player, and is put back.
  if (s_writtenPath.empty()) return false;
  const std::string path = std::exchange(s_writtenPath, {});
  if (!s_keptPath.empty()) return ::rename(std::exchange(s_keptPath, {}).c_str(), path.c_str()) == 0;
  return ::unlink(path.c_str()) == 0;
}

bool DataFile_LoadAll(CStream& content, std::vector<CDataFile>& files) {
  files.clear();
  if (content.ReadInteger() != kSectionVersion) return false;
  const int32_t count = content.ReadInteger();
  if (!content.CountFits(count, 4)) return false;
  files.resize(size_t(count));
  for (CDataFile& file : files) {
    CStream item = content.ReadStreamC();
    if (!file.LoadFromStream(item)) return false;
  }
  return true;
}

void DataFile_SaveAll(CStream& content, const std::vector<CDataFile>& files) {
  content.WriteInteger(kSectionVersion);
  content.WriteInteger(int32_t(files.size()));
  for (const CDataFile& file : files) {
    CStream item;
    file.SaveToStream(item);
    content.WriteStreamC(item);
  }
}

int32_t FindDataFile(const std::string& name) {
  for (size_t i = 0; i < g_PackageData.dataFiles.size(); ++i)
    if (g_PackageData.dataFiles[i].s_filename == name) return int32_t(i);
  return -1;
}

CDataFile* GetDataFile(int32_t index) {
  return index >= 0 && size_t(index) < g_PackageData.dataFiles.size() ? &g_PackageData.dataFiles[size_t(index)] : nullptr;
}

std::vector<std::string> PrepareDataFiles() {
  std::vector<std::string> refusals;
  for (CDataFile& file : g_PackageData.dataFiles) {
    std::string refusal;
    if (!file.Prepare(refusal) && !refusal.empty()) refusals.push_back(std::move(refusal));
  }
  return refusals;
}

void RemoveDataFiles() {
  for (CDataFile& file : g_PackageData.dataFiles) file.Remove();
}

}  // namespace tavrin
