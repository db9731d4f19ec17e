#include "package/Support_Path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "package/DataNew_Class.h"
#include "platform/Platform_File.h"

namespace tavrin {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }
bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool HasDrive(std::string_view name) { return name.size() >= 2 && IsDriveLetter(name[0]) && name[1] == ':'; }

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` named `part` in another letter case; "" when none.
// Several such entries can exist on this machine: the first in byte order
// wins, so the choice never depends on the order the folder lists them in.
std::string EntryIgnoringCase(const std::string& folder, std::string_view part) {
  DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return {};
  std::string best;
  while (const dirent* e = ::readdir(d)) {
    const std::string_view entry(e->d_name);
    if (Name_Same(entry, part) && (best.empty() || entry < best)) best = entry;
  }
  ::closedir(d);
  return best;
}

}  // namespace

std::string Path_FromGame(std::string_view name) {
  if (name.empty()) return {};
  // A network share ("\\server\share") names another machine.
  if (name.size() >= 2 && name[0] == '\\' && name[1] == '\\') return {};
  std::string path;  // what has been resolved so far, with a trailing "/" when a folder
  if (HasDrive(name)) {
    if (Name_Fold(name[0]) != 'c') return {};
    name.remove_prefix(2);
    if (name.empty()) return ".";
  }
  if (IsSeparator(name[0])) path = "/";
  const bool trailing = IsSeparator(name.back());
  bool lookUp = true;  // false once a part is missing: nothing below it exists
  size_t start = 0;
  while (start < name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::string_view part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    std::string next = path + std::string(part);
    if (lookUp && part != "." && part != ".." && !Exists(next)) {
      const std::string other = EntryIgnoringCase(path, part);
      if (other.empty()) lookUp = false;
      else next = path + other;
    }
    path = next + "/";
  }
  if (path.empty()) return ".";
  if (path.size() > 1 && !trailing) path.pop_back();
  return path;
}

bool Path_LeavesFolder(std::string_view name) {
  return name.find_first_of("/\\") != std::string_view::npos || HasDrive(name) || name == "..";
}

bool Path_SecureRefuses(std::string_view name) { return g_SecureMode && Path_LeavesFolder(name); }

}  // namespace tavrin
