// Included files: files that travel inside the package and are written out
// when the game starts (or when the game asks), then removed at the end.
#pragma once

#include <string>
#include <vector>

#include "package/Support_Stream.h"

namespace tavrin {

class CDataFile {
 public:
  std::string s_filename;  // name to export under; may hold a relative path
  std::string s_origname;  // where the file came from on the author's machine
  bool s_exists = false;   // the data is in memory
  int32_t s_size = 0;
  bool s_store = false;    // the data is stored in the package
  CStream s_data;
  int32_t s_exportaction = 2;  // 0 none, 1 temporary folder, 2 working folder, 3 s_exportdir
  std::string s_exportdir;
  bool s_overwrite = false;
  bool s_freedata = true;
  bool s_removeend = true;
  // What the export at start (or on the game's request) did, so that the end
  // undoes exactly that: the file it wrote (only such a file is removed),
  // and where a file of the player's that it replaced waits to be put back.
  std::string s_writtenPath;
  std::string s_keptPath;

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
  // Writes the data to `fname` when it exists and may be written there.
  bool ExportIt(const std::string& fname);
  void Discard();
  // Exports as the file's action says (the start of the game, and on request).
  // When secure mode forbids the export, `refusal` receives the message for
  // the player and nothing is written.
  bool Prepare(std::string& refusal);
  // ExportIt for Prepare: a file of the player's that the export overwrites
  // is kept aside for Remove to put back.
  bool ExportKeeping(const std::string& path);
  // Deletes the exported file at the end, when asked to and when this run
  // wrote it, and puts back the player's file it replaced.
  bool Remove();
  // The path `Prepare` writes to, or "" when the action exports nowhere or
  // the name or export folder would leave the folder it belongs in.
  std::string ExportPath() const;
};


bool DataFile_LoadAll(CStream& content, std::vector<CDataFile>& files);
void DataFile_SaveAll(CStream& content, const std::vector<CDataFile>& files);
// The first file whose name is exactly `name`, or -1.
int32_t FindDataFile(const std::string& name);
CDataFile* GetDataFile(int32_t index);
// All files at start, giving the messages of the exports secure mode
// refused; and the removal at the end.
std::vector<std::string> PrepareDataFiles();
void RemoveDataFiles();

// Secure mode forbids exporting outside the working and temporary folders.
extern bool g_SecureMode;
}  // namespace tavrin
