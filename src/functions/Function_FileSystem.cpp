// Files and folders by name, searches with masks and attributes, the parts
// of file names, disks, the game's command line and its environment.
//
// Names go through the game path layer (Support_Path), so a game's
// "Data\Level1.txt" finds data/level1.txt; secure mode refuses writes to any
// name that may leave the working folder.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "functions/Function_File.h"
#include "package/Support_Path.h"
#include "platform/Platform_File.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"

namespace tavrin {

namespace {

// The search in progress: the names found, sorted, and the next to give.
struct RSearchState {
  std::vector<std::string> names;
  size_t next = 0;
  void Reset() { *this = RSearchState{}; }
};
RSearchState g_Search;

std::vector<std::string> g_Parameters;

enum : int { kReadOnly = 1, kHidden = 2, kSysFile = 4, kVolumeId = 8, kDirectory = 16, kArchive = 32 };

// The attribute bits of a file as a game sees them; -1 when it is missing.
// Names beginning with "." are hidden; files the owner may not write are
// read-only; plain files carry the archive bit.
int Attributes(const std::string& path, std::string_view name) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return -1;
  int bits = 0;
  if (!(st.st_mode & S_IWUSR)) bits |= kReadOnly;
  if (!name.empty() && name[0] == '.') bits |= kHidden;
  if (S_ISDIR(st.st_mode)) bits |= kDirectory;
  else bits |= kArchive;
  return bits;
}

size_t LastSeparator(std::string_view name) { return name.find_last_of("\\/:"); }

// ---------------------------------------------------------------- files and folders

bool IsFile(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}
bool IsFolder(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

FUNCTION_ROUTINE(F_FileExists) { result.SetReal(IsFile(Path_FromGame(a[0].AsText()))); }

FUNCTION_ROUTINE(F_FileDelete) {
  const std::string_view name = a[0].AsText();
  if (Path_SecureRefuses(name))
    return Error_ReportAction("In Secure mode you cannot delete file " + std::string(name), false);
  const std::string path = Path_FromGame(name);
  if (IsFile(path)) ::unlink(path.c_str());
}

FUNCTION_ROUTINE(F_FileRename) {
  const std::string_view from = a[0].AsText(), to = a[1].AsText();
  if (Path_SecureRefuses(from) || Path_SecureRefuses(to))
    return Error_ReportAction("In Secure mode you cannot rename file " + std::string(from) + " into " + std::string(to), false);
  const std::string source = Path_FromGame(from), target = Path_FromGame(to);
  // A rename never replaces a file already under the new name.
  if (!source.empty() && !target.empty()) ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
}

FUNCTION_ROUTINE(F_FileCopy) {
  const std::string_view from = a[0].AsText(), to = a[1].AsText();
  if (Path_SecureRefuses(from) || Path_SecureRefuses(to))
    return Error_ReportAction("In Secure mode you cannot copy file " + std::string(from) + " to " + std::string(to), false);
  const std::string source = Path_FromGame(from), target = Path_FromGame(to);
  if (!IsFile(source) || target.empty() || IsFolder(target)) return;
  // The copy lands beside the target and replaces it whole, so a failed copy
  // leaves the old file as it was.
  namespace fs = std::filesystem;
  const std::string temp = target + ".tmp" + std::to_string(::getpid());
  std::error_code ec;
  if (fs::copy_file(source, temp, fs::copy_options::overwrite_existing, ec) && ::rename(temp.c_str(), target.c_str()) == 0) return;
  fs::remove(temp, ec);
}

FUNCTION_ROUTINE(F_DirectoryExists) { result.SetReal(IsFolder(Path_FromGame(a[0].AsText()))); }

FUNCTION_ROUTINE(F_DirectoryCreate) {
  const std::string_view name = a[0].AsText();
  if (Path_SecureRefuses(name))
    return Error_ReportAction("In Secure mode you cannot create directory " + std::string(name), false);
  const std::string path = Path_FromGame(name);
  std::error_code ec;
  if (!path.empty()) std::filesystem::create_directories(path, ec);
}

// ---------------------------------------------------------------- searches

std::string NextFound() {
  if (g_Search.next >= g_Search.names.size()) return {};
  return g_Search.names[g_Search.next++];
}

// Plain files always match; directories, hidden files (and system files,
// which this machine has none of) only when the attributes ask for them.
// "." and ".." are never found: a game walking folders would climb out.
FUNCTION_ROUTINE(F_FindFirst) {
  g_Search.Reset();
  const std::string_view mask = a[0].AsText();
  const int wanted = int(Real_ToInt64(a[1].AsReal()));
  const size_t cut = LastSeparator(mask);
  const std::string_view folderName = cut == std::string_view::npos ? std::string_view() : mask.substr(0, cut + 1);
  const std::string_view pattern = mask.substr(cut == std::string_view::npos ? 0 : cut + 1);
  const std::string folder = folderName.empty() ? std::string(".") : Path_FromGame(folderName);
  DIR* d = folder.empty() ? nullptr : ::opendir(folder.c_str());
  if (d) {
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name == "." || name == ".." || !Name_MatchesMask(name, pattern)) continue;
      const int bits = Attributes(folder + "/" + name, name);
      if (bits < 0 || (bits & ~(kReadOnly | kArchive) & ~wanted) != 0) continue;
      g_Search.names.push_back(name);
    }
    ::closedir(d);
  }
  // In the order of their names, letter case ignored (byte order breaks ties).
  std::sort(g_Search.names.begin(), g_Search.names.end(), [](const std::string& x, const std::string& y) {
    const auto folded = [](const std::string& s) {
      std::string f = s;
      for (char& c : f) c = Name_Fold(c);
      return f;
    };
    const std::string fx = folded(x), fy = folded(y);
    return fx != fy ? fx < fy : x < y;
  });
  result.SetString(RString(NextFound()));
}
FUNCTION_ROUTINE(F_FindNext) { result.SetString(RString(NextFound())); }
FUNCTION_ROUTINE(F_FindClose) { g_Search.Reset(); }

FUNCTION_ROUTINE(F_FileAttributes) {
  const std::string_view name = a[0].AsText();
  const size_t cut = LastSeparator(name);
  const int bits = Attributes(Path_FromGame(name), cut == std::string_view::npos ? name : name.substr(cut + 1));
  result.SetReal(bits < 0 ? -1 : (bits & int(Real_ToInt64(a[1].AsReal()))) != 0);
}

// ---------------------------------------------------------------- file names

// Names are taken apart as games write them: "\", "/" and the drive's ":"
// end the folder part.
FUNCTION_ROUTINE(F_FilenameName) {
  const std::string_view name = a[0].AsText();
  const size_t cut = LastSeparator(name);
  result.SetString(RString(cut == std::string_view::npos ? name : name.substr(cut + 1)));
}
FUNCTION_ROUTINE(F_FilenamePath) {
  const std::string_view name = a[0].AsText();
  const size_t cut = LastSeparator(name);
  result.SetString(RString(cut == std::string_view::npos ? std::string_view() : name.substr(0, cut + 1)));
}
// The folder without its trailing separator, except where that separator is
// the root itself ("C:\", "\").
FUNCTION_ROUTINE(F_FilenameDir) {
  const std::string_view name = a[0].AsText();
  const size_t cut = LastSeparator(name);
  if (cut == std::string_view::npos) return result.SetString(RString());
  const bool root = name[cut] == ':' || cut == 0 || name[cut - 1] == ':';
  result.SetString(RString(name.substr(0, root ? cut + 1 : cut)));
}
FUNCTION_ROUTINE(F_FilenameDrive) {
  const std::string_view name = a[0].AsText();
  if (name.size() >= 2 && name[1] == ':') return result.SetString(RString(name.substr(0, 2)));
  // A network share: "\\server\share".
  if (name.size() >= 2 && (name[0] == '\\' || name[0] == '/') && name[1] == name[0]) {
    size_t end = name.find_first_of("\\/", 2);
    if (end != std::string_view::npos) end = name.find_first_of("\\/", end + 1);
    return result.SetString(RString(name.substr(0, end)));
  }
  result.SetString(RString());
}
size_t ExtensionStart(std::string_view name) {
  const size_t dot = name.find_last_of('.');
  const size_t cut = LastSeparator(name);
  return dot == std::string_view::npos || (cut != std::string_view::npos && dot < cut) ? name.size() : dot;
}
FUNCTION_ROUTINE(F_FilenameExt) {
  const std::string_view name = a[0].AsText();
  result.SetString(RString(name.substr(ExtensionStart(name))));
}
FUNCTION_ROUTINE(F_FilenameChangeExt) {
  const std::string_view name = a[0].AsText();
  result.SetString(RString(std::string(name.substr(0, ExtensionStart(name))) + std::string(a[1].AsText())));
}

// ---------------------------------------------------------------- disks

// The one drive of this machine is C:, the root; no drive letter (or an
// empty one) means the working folder's disk. Other letters are no drive.
double DiskBytes(int32_t argc, RValue* a, bool free) {
  std::string where = ".";
  if (argc > 0 && a[0].IsString() && !a[0].AsText().empty()) {
    if (Name_Fold(a[0].AsText()[0]) != 'c') return -1;
    where = "/";
  }
  struct statvfs vfs;
  if (::statvfs(where.c_str(), &vfs) != 0) return -1;
  return double(free ? vfs.f_bavail : vfs.f_blocks) * double(vfs.f_frsize);
}
FUNCTION_ROUTINE(F_DiskFree) { result.SetReal(DiskBytes(argc, a, true)); }
FUNCTION_ROUTINE(F_DiskSize) { result.SetReal(DiskBytes(argc, a, false)); }

// ---------------------------------------------------------------- the command line

FUNCTION_ROUTINE(F_ParameterCount) { result.SetReal(g_Parameters.empty() ? 0 : double(g_Parameters.size() - 1)); }
FUNCTION_ROUTINE(F_ParameterString) {
  const int64_t n = Real_ToInt64(a[0].AsReal());
  result.SetString(RString(n >= 0 && size_t(n) < g_Parameters.size() ? g_Parameters[size_t(n)] : std::string()));
}
FUNCTION_ROUTINE(F_EnvironmentGetVariable) {
  const char* value = std::getenv(std::string(a[0].AsText()).c_str());
  result.SetString(RString(value ? value : ""));
}

constexpr RFunctionRoutine kFileSystemFunctions[] = {
    {"file_exists", F_FileExists},
    {"file_delete", F_FileDelete},
    {"file_rename", F_FileRename},
    {"file_copy", F_FileCopy},
    {"directory_exists", F_DirectoryExists},
    {"directory_create", F_DirectoryCreate},
    {"file_find_first", F_FindFirst},
    {"file_find_next", F_FindNext},
    {"file_find_close", F_FindClose},
    {"file_attributes", F_FileAttributes},
    {"filename_name", F_FilenameName},
    {"filename_path", F_FilenamePath},
    {"filename_dir", F_FilenameDir},
    {"filename_drive", F_FilenameDrive},
    {"filename_ext", F_FilenameExt},
    {"filename_change_ext", F_FilenameChangeExt},
    {"disk_free", F_DiskFree},
    {"disk_size", F_DiskSize},
    {"parameter_count", F_ParameterCount},
    {"parameter_string", F_ParameterString},
    {"environment_get_variable", F_EnvironmentGetVariable},
};

}  // namespace

void File_SetParameters(std::vector<std::string> parameters) { g_Parameters = std::move(parameters); }

void Function_RegisterFileSystem() { Function_ImplementTable(kFileSystemFunctions); }

}  // namespace tavrin
