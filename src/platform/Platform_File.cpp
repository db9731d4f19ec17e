#include "platform/Platform_File.h"

#include <unistd.h>

#include <cstdio>

namespace tavrin {

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

}  // namespace tavrin
