// The script functions of the choosers: get_color, get_open_filename,
// get_save_filename, get_directory and get_directory_alt. None of them
// changes the game's working folder.
#include <filesystem>

#include "package/Support_Path.h"
#include "script/Code_Function.h"
#include "windows/Color_Chooser.h"
#include "windows/Dialog_Modal.h"
#include "windows/File_Chooser.h"
#include "windows/Function_Dialogs.h"
#include "world/Input_State.h"

namespace tavrin {

namespace {

// Shows the chooser with its own caption; the key or click that closed it
// is not seen by the game.
void Choose(IModalWindow& chooser) {
  RModalLook look;
  look.caption = chooser.Record().caption;
  Modal_Run(chooser, look);
  IO_ClearAll();
}

// A game's name for a folder; "" stays "" (the chooser's own start).
std::filesystem::path Folder(const RValue& name) {
  const std::string text = Dialog_ValueText(name);
  return text.empty() ? std::filesystem::path() : std::filesystem::path(Path_FromGame(text));
}

std::string ChooseFile(RChooserSetup setup) {
  CFileChooser chooser(std::move(setup));
  Choose(chooser);
  return chooser.Result();
}

FUNCTION_ROUTINE(F_GetColor) {
  CColorChooser chooser(Real_ToInt32(a[0].AsReal()));
  Choose(chooser);
  result.SetReal(chooser.Result());
}
// filter, suggested name
FUNCTION_ROUTINE(F_GetOpenFilename) {
  result.SetString(
      RString(ChooseFile({EChooserKind::Open, "", Dialog_ValueText(a[0]), Dialog_ValueText(a[1]), {}, {}})));
}
FUNCTION_ROUTINE(F_GetSaveFilename) {
  result.SetString(
      RString(ChooseFile({EChooserKind::Save, "", Dialog_ValueText(a[0]), Dialog_ValueText(a[1]), {}, {}})));
}
// the folder to start in
FUNCTION_ROUTINE(F_GetDirectory) {
  result.SetString(RString(ChooseFile({EChooserKind::Folder, "", "", "", Folder(a[0]), {}})));
}
// caption, the top folder (where it starts too)
FUNCTION_ROUTINE(F_GetDirectoryAlt) {
  const std::filesystem::path root = Folder(a[1]);
  result.SetString(RString(ChooseFile({EChooserKind::FolderTree, Dialog_ValueText(a[0]), "", "", root, root})));
}

const RFunctionRoutine kChooserFunctions[] = {
    {"get_color", F_GetColor},
    {"get_open_filename", F_GetOpenFilename},
    {"get_save_filename", F_GetSaveFilename},
    {"get_directory", F_GetDirectory},
    {"get_directory_alt", F_GetDirectoryAlt},
};

}  // namespace

void Function_RegisterChoosers() { Function_ImplementTable(kChooserFunctions); }

}  // namespace tavrin
