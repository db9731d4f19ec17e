#include "support/GoldenFrame.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "graphics/Graphics_Picture.h"
#include "package/Support_Stream.h"

namespace tavrin::test {

namespace {

std::optional<TBitmap32> Load(const std::filesystem::path& path) {
  CStream file;
  if (!file.LoadFromFile(path.string())) return std::nullopt;
  return Picture_DecodePNG(std::span<const uint8_t>(file.Data(), file.Size()));
}

int ChannelDifference(TColor32 a, TColor32 b) {
  int most = 0;
  for (int shift = 0; shift < 32; shift += 8)
    most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return most;
}

}  // namespace

std::string Golden_Compare(const std::filesystem::path& frame, const std::filesystem::path& golden, int tolerance,
                           const std::filesystem::path& failures) {
  const std::optional<TBitmap32> actual = Load(frame);
  if (!actual) return frame.string() + ": no frame";
  const char* update = std::getenv("TAVRIN_UPDATE_GOLDENS");
  const bool updating = update && std::strcmp(update, "1") == 0;
  const std::optional<TBitmap32> expected = Load(golden);
  std::string difference;
  if (!expected) {
    difference = golden.string() + ": no golden picture";
  } else if (expected->s_w != actual->s_w || expected->s_h != actual->s_h) {
    difference = "the frame is " + std::to_string(actual->s_w) + " x " + std::to_string(actual->s_h) +
                 ", the golden picture " + std::to_string(expected->s_w) + " x " + std::to_string(expected->s_h);
  } else {
    TBitmap32 diff(actual->s_w, actual->s_h, 0xFF000000);
    int pixels = 0, largest = 0;
    for (size_t i = 0; i < actual->s_data.size(); ++i) {
      const int d = ChannelDifference(actual->s_data[i], expected->s_data[i]);
      largest = std::max(largest, d);
      if (d > tolerance) {
        ++pixels;
        diff.s_data[i] = 0xFFFFFFFF;
      }
    }
    if (pixels == 0) return "";
    difference = std::to_string(pixels) + " pixels differ by more than " + std::to_string(tolerance) +
                 " (at most " + std::to_string(largest) + ")";
    std::filesystem::create_directories(failures);
    Picture_SaveToImageFile(diff, (failures / (golden.stem().string() + ".diff.png")).string());
  }
  if (updating) {
    std::filesystem::create_directories(golden.parent_path());
    std::filesystem::copy_file(frame, golden, std::filesystem::copy_options::overwrite_existing);
    return "";
  }
  std::filesystem::create_directories(failures);
  std::filesystem::copy_file(frame, failures / (golden.stem().string() + ".actual.png"),
                             std::filesystem::copy_options::overwrite_existing);
  return golden.filename().string() + ": " + difference + "; see " + failures.string();
}

}  // namespace tavrin::test
