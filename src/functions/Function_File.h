// The built-in functions over files: binary and text files by number, the
// single text file (Function_File), and files, folders, searches, file
// names, disks, the command line and the environment (Function_FileSystem).
#pragma once

#include <string>
#include <vector>

namespace tavrin {

void Function_RegisterFiles();
void Function_RegisterFileSystem();

// The game's command line: its own name, then its arguments.
void File_SetParameters(std::vector<std::string> parameters);

}  // namespace tavrin
