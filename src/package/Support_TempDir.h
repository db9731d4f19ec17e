// The game's private temporary folder: where included files, sounds, music
// and extension files are written while the game runs. It is created once at
// start and removed at the end, and the removal never reaches outside it.
#pragma once

#include <string>

namespace tavrin {

// Creates the folder. The base is the first line of "tempdir.txt" in
// `gameFolder` when that file exists, else $TMPDIR, $temp or $tmp, else /tmp;
// inside it a fresh "qv_ttt_<n>" folder is made. When the base fails, /tmp
// and then the current folder are tried. False when all fail (the game still
// runs, without a temporary folder).
bool CreateTempDir(const std::string& gameFolder);
// Removes the folder and everything in it, when this process created it.
// Symbolic links inside are removed, never followed.
void RemoveTempDir();
// The folder's full path, no trailing separator; empty when none exists.
const std::string& TempDir();
// A path inside the folder that names no existing file (not created).
std::string TempFileName(const std::string& extension);

// Whether a path from a package stays inside the folder it is placed in: not
// empty, not absolute, and no part of it is "..". Both separators count,
// since packages are written on many systems.
bool Path_StaysInside(const std::string& path);

// Whether the folder that holds `path` lies inside `base` once the symbolic
// links on the way are followed (the text of a name can stay inside while a
// link already in the folder leads elsewhere). Missing folders count as
// inside when their existing parent is.
bool Path_RealFolderInside(const std::string& path, const std::string& base);

// Removes `root` recursively without following links; entries are removed
// only when their path lies below `root`. Failures are ignored.
void TempDir_RemoveTree(const std::string& root);

}  // namespace tavrin
