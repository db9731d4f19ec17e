#include "functions/Function_IncludedFiles.h"

#include "package/DataNew_Class.h"
#include "package/Support_Path.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"

namespace tavrin {

namespace {

CDataFile* Named(const RValue& name) { return GetDataFile(FindDataFile(name.AsString().str())); }

void ExportIncludeFile(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue* args) {
  CDataFile* file = Named(args[0]);
  if (!file) return Error_ReportAction("Trying to export non-existing file.", false);
  std::string refusal;
  if (!file->Prepare(refusal) && !refusal.empty()) Error_ReportAction(refusal, false);
}

void ExportIncludeFileLocation(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue* args) {
  CDataFile* file = Named(args[0]);
  if (!file) return Error_ReportAction("Trying to export non-existing file.", false);
  if (g_SecureMode) return Error_ReportAction("In secure mode you cannot export a file to a location.", false);
  file->ExportIt(Path_FromGame(args[1].AsText()));
}

void DiscardIncludeFile(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue* args) {
  CDataFile* file = Named(args[0]);
  if (!file) return Error_ReportAction("Trying to discard non-existing file.", false);
  file->Discard();
}

}  // namespace

void Function_RegisterIncludedFiles() {
  Function_Implement("export_include_file", ExportIncludeFile);
  Function_Implement("export_include_file_location", ExportIncludeFileLocation);
  Function_Implement("discard_include_file", DiscardIncludeFile);
}

}  // namespace tavrin
