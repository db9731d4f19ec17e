// The background data file a game loads and replaces backgrounds from (its
// layout is in Background_Class.h). The file is untrusted: the picture is
// checked against the pixel limits before it is allocated, and the
// background is only replaced once the whole file has been read.
#include "graphics/Background_Class.h"
#include "graphics/Bitmap_Effects.h"

namespace tavrin {

namespace {
constexpr int32_t kBackgroundFileMagic = 1234321;
constexpr int32_t kBackgroundFileIgnored = 6;  // integers kept for the editor
}  // namespace

bool CBackground::LoadFromBackgroundFile(const std::string& fname) {
  CStream file;
  return file.LoadFromFile(fname) && LoadFromBackgroundBytes(file.Bytes());
}

bool CBackground::LoadFromBackgroundBytes(std::span<const uint8_t> bytes) {
  CPictureBudget budget;
  TBitmap32 bm;
  try {
    CStream file(bytes.data(), bytes.size());
    if (file.ReadInteger() != kBackgroundFileMagic) return false;
    CStream block = file.ReadStreamC();
    if (block.ReadInteger() != kBackgroundRecordVersion) return false;
    (void)block.ReadBoolean();
    for (int i = 0; i < kBackgroundFileIgnored; ++i) (void)block.ReadInteger();
    if (!Bitmap_LoadFromStream(block, bm)) return false;
  } catch (const CStreamError&) {
    return false;
  }
  Effect_FillTransparent(bm);
  Replace(std::move(bm));
  return true;
}

std::vector<uint8_t> CBackground::SaveToBackgroundBytes() const {
  CStream block;
  block.WriteInteger(kBackgroundRecordVersion);
  block.WriteBoolean(false);
  for (int i = 0; i < kBackgroundFileIgnored; ++i) block.WriteInteger(0);
  Bitmap_SaveToStream(block, i_bitmap);
  CStream file;
  file.WriteInteger(kBackgroundFileMagic);
  file.WriteStreamC(block);
  return std::move(file.Bytes());
}

bool CBackground::SaveToBackgroundFile(const std::string& fname) const {
  return CStream(SaveToBackgroundBytes()).SaveToFile(fname);
}

}  // namespace tavrin
