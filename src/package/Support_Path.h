// Paths as games write them, turned into paths of this machine. Games are
// written for a file system where both "\" and "/" separate folders, letter
// case does not matter and paths may begin with a drive letter; every
// function that touches a file by a game's name goes through here, and so
// does secure mode's test of whether a name reaches outside the working
// folder.
#pragma once

#include <string>
#include <string_view>

namespace tavrin {

// The machine's path for a game's `name`, or "" when the name cannot be
// placed (a drive other than C:, a network share, an empty name):
// - "\" and "/" both separate folders;
// - "C:\x" is "/x" (the one drive is the root); "C:x" is "x" in the working
//   folder; any other drive letter is refused;
// - each folder and the file itself, when missing under its exact name, is
//   the entry of its folder whose name differs only in letter case (the
//   first in byte order when several do); parts that exist under no case
//   stay as written, so that new files can be made.
std::string Path_FromGame(std::string_view name);

// Whether `name` may reach outside the working folder: it holds a folder
// separator, a drive ("C:x" too), or is "..". Secure mode refuses writes to
// such names.
bool Path_LeavesFolder(std::string_view name);

// Secure mode is on and `name` leaves the working folder: the write, delete,
// rename, copy or creation under that name is refused. Every function that
// writes a file by a game's name asks this first (and reports its own
// message when refused).
bool Path_SecureRefuses(std::string_view name);

}  // namespace tavrin
