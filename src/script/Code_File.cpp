#include "script/Code_File.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tavrin {

ECodeFile Code_ReadFile(const std::string& path, std::string& text) {
  text.clear();
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return ECodeFile::Directory;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ECodeFile::Unreadable;
  // A regular file's size is known at once; anything else (a device, a pipe)
  // is read until it ends or passes the cap.
  const auto size = std::filesystem::is_regular_file(path, ec) ? std::filesystem::file_size(path, ec) : 0;
  if (!ec && size > kMaxCodeFileBytes) return ECodeFile::TooLarge;
  if (!ec) text.reserve(static_cast<size_t>(size));
  constexpr size_t kChunk = 64 * 1024;
  while (in && text.size() <= kMaxCodeFileBytes) {
    const size_t had = text.size();
    const size_t want = std::min(kChunk, kMaxCodeFileBytes + 1 - had);
    text.resize(had + want);
    in.read(text.data() + had, static_cast<std::streamsize>(want));
    text.resize(had + static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) {
    text.clear();
    return ECodeFile::Unreadable;
  }
  if (text.size() > kMaxCodeFileBytes) {
    text.clear();
    text.shrink_to_fit();
    return ECodeFile::TooLarge;
  }
  return ECodeFile::Read;
}

}  // namespace tavrin
