// Files replaced whole, names compared as games compare them, and the
// folder a game lies in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin {

// Writes `size` bytes as the new contents of `path`: to a temporary file
// beside it, flushed to the disk, then renamed over the old file, so that a
// crash at any moment leaves either the old file or the new one, whole.
// False (and the old file untouched) when any step fails.
bool File_ReplaceWith(const std::string& path, const void* data, size_t size);

// The folder of the game being played, where its own files lie beside it
// (program_directory): the folder of the package file or the standalone
// game, or of the code file run with --code. Until it is set, the folder of
// the runner's executable.
void File_SetProgramFolder(std::string folder);
std::string File_ProgramFolder();

// Names of files, keys and sections are the same whatever the letter case
// of their ASCII letters.
inline char Name_Fold(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
inline bool Name_Same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Name_Fold(a[i]) != Name_Fold(b[i])) return false;
  return true;
}
// A name against a mask of "*" (any run) and "?" (any one character), letter
// case ignored; "*.*" takes every name, with or without an extension.
bool Name_MatchesMask(std::string_view name, std::string_view mask);

}  // namespace tavrin
