#include "platform/Platform_File.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace tavrin {

namespace {
std::string g_ProgramFolder;
}  // namespace

void File_SetProgramFolder(std::string folder) { g_ProgramFolder = std::move(folder); }

std::string File_ProgramFolder() {
  if (!g_ProgramFolder.empty()) return g_ProgramFolder;
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string exe = n > 0 ? std::string(buffer, size_t(n)) : std::string();
  const size_t cut = exe.find_last_of('/');
  return cut == std::string::npos ? std::string() : exe.substr(0, cut == 0 ? 1 : cut);
}

bool File_ReplaceWith(const std::string& path, const void* data, size_t size) {
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  ok = std::fflush(f) == 0 && ok;
  ok = ::fsync(::fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

bool Name_MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*") mask = "*";
  // On a mismatch, the last "*" takes one more character of the name.
  size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] != '*' && (mask[m] == '?' || Name_Fold(mask[m]) == Name_Fold(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace tavrin
