// Reading game code from a file. Code read from a file is capped in size, so
// a file that never ends (a device, a pipe) or one far beyond any real
// program cannot take the machine's memory while it is read and compiled.
#pragma once

#include <cstddef>
#include <string>

namespace tavrin {

// The most code one file may hold: 16 MiB.
constexpr size_t kMaxCodeFileMiB = 16;
constexpr size_t kMaxCodeFileBytes = kMaxCodeFileMiB * 1024u * 1024u;

enum class ECodeFile { Read, Unreadable, Directory, TooLarge };

// Reads the file at `path` whole into `text`, never more than one byte beyond
// the cap. `text` is left empty unless the result is Read.
ECodeFile Code_ReadFile(const std::string& path, std::string& text);

}  // namespace tavrin
