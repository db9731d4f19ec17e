#include "package/Support_TempDir.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace tavrin {

namespace {

std::string g_tempDir;
bool g_created = false;

std::mt19937& TempRandom() {
  static std::mt19937 random(uint32_t(std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
  return random;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// mkdir -p; true when `path` is a directory afterwards.
bool MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateUnder(std::string base) {
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  if (base.empty() || !MakeDirs(base)) return false;
  std::uniform_int_distribution<int> pick(0, 99999);
  for (int tries = 0; tries < 1000; ++tries) {
    const std::string candidate = base + "/qv_ttt_" + std::to_string(pick(TempRandom()));
    if (Exists(candidate)) continue;
    // A plain mkdir: if someone made it between the test and now, draw again.
    if (::mkdir(candidate.c_str(), 0700) == 0) {
      g_tempDir = candidate;
      g_created = true;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

std::string ConfiguredBase(const std::string& gameFolder) {
  std::ifstream file(gameFolder + "/tempdir.txt");
  std::string line;
  if (file && std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  for (const char* name : {"TMPDIR", "temp", "tmp"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::string(value).substr(0, 256);
  }
  return "/tmp";
}

bool IsBelow(const std::string& path, const std::string& root) {
  return path.size() > root.size() + 1 && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

void RemoveBelow(const std::string& dir, const std::string& root) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = dir + "/" + name;
    if (!IsBelow(path, root)) continue;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      RemoveBelow(path, root);
      ::rmdir(path.c_str());
    } else {
      ::unlink(path.c_str());  // a symbolic link is removed itself, its target untouched
    }
  }
  ::closedir(d);
}

}  // namespace

bool Path_StaysInside(const std::string& path) {
  if (path.empty() || path[0] == '/' || path[0] == '\\') return false;
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find_first_of("/\\", start);
    if (end == std::string::npos) end = path.size();
    if (end - start == 2 && path.compare(start, 2, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

bool Path_RealFolderInside(const std::string& path, const std::string& base) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path realBase = fs::weakly_canonical(fs::absolute(base, ec), ec);
  if (ec || base.empty()) return false;
  const fs::path folder = fs::weakly_canonical(fs::absolute(path, ec).parent_path(), ec);
  if (ec) return false;
  return std::mismatch(realBase.begin(), realBase.end(), folder.begin(), folder.end()).first == realBase.end();
}

bool CreateTempDir(const std::string& gameFolder) {
  g_tempDir.clear();
  g_created = false;
  char cwd[4096];
  const std::string here = ::getcwd(cwd, sizeof cwd) ? cwd : ".";
  return CreateUnder(ConfiguredBase(gameFolder)) || CreateUnder("/tmp") || CreateUnder(here);
}

void TempDir_RemoveTree(const std::string& root) {
  struct stat st;
  if (root.empty() || ::lstat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  RemoveBelow(root, root);
  ::rmdir(root.c_str());
}

void RemoveTempDir() {
  if (!g_created) return;
  TempDir_RemoveTree(g_tempDir);
  g_tempDir.clear();
  g_created = false;
}

const std::string& TempDir() { return g_tempDir; }

std::string TempFileName(const std::string& extension) {
  std::uniform_int_distribution<int> pick(0, 99999);
  std::string name;
  for (int tries = 0; tries < 100000; ++tries) {
    name = g_tempDir + "/a" + std::to_string(pick(TempRandom())) + extension;
    if (!Exists(name)) break;
  }
  return name;
}

}  // namespace tavrin
