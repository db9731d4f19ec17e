// Reading a located package from its version word on: the header with the
// game settings and loading pictures, the runner's own library file, and the
// scrambled content with the game's identity and its resource sections.
// Writing is the exact inverse, for the packer and for tests.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "package/Option_Main.h"
#include "package/Package_Sections.h"
#include "package/Support_Stream.h"

namespace tavrin {

inline constexpr int32_t kPackageVersion = 810;

// The pictures of the load window that travel with the settings.
struct RLoadPictures {
  std::optional<TBitmap32> backBar;   // the empty progress bar
  std::optional<TBitmap32> frontBar;  // the filled part
  std::optional<TBitmap32> image;     // the loading picture
};

// What the header carries besides the settings.
struct RPackageHeader {
  int32_t stampDays = 0;
  int32_t stampSeconds = 0;
  bool debugMode = false;
  int32_t settingsVersion = 820;
  RLoadPictures pictures;
  std::string libraryName;
  CStream library;
};

// The game's identity, from the content.
struct RGameIdentity {
  int32_t flags = 0;
  int32_t gameId = 0;
  std::array<uint8_t, 16> guid{};
};

// Told about the progress of loading; the runner's load window listens.
class IPackageLoadListener {
 public:
  virtual ~IPackageLoadListener() = default;
  virtual void ShowProgress(int percent, const std::string& text) = 0;
  // The header has been read: the load window can take its final shape.
  virtual void HeaderRead(RPackageHeader& header, const RGameSettings& settings) = 0;
};

// The package being played.

// Reads the settings block into `settings` and `pictures`; false when the
// settings version is below 800. Stream errors propagate.
bool ReadSettings(CStream& stream, RGameSettings& settings, RLoadPictures& pictures, int32_t* versionOut = nullptr);
void WriteSettings(CStream& stream, const RGameSettings& settings, const RLoadPictures& pictures, int32_t version = 820);

// The message boxes a failed load shows, in order; empty on success.
using TLoadMessages = std::vector<std::string>;

struct RPackageData;

// Reads the whole package from the version word: the header (settings and
// debug flag into `package`), then the content with its `sections` in order,
// which read into wherever they were made for. Nothing outside `package`
// and the sections' destinations changes. Stream errors propagate as
// CStreamError (the caller shows "Failed to load the game data. File seems
// corrupted.").
// `headerOut`, when given, receives the header (the packer unpacks it).
TLoadMessages ReadHeader(CStream& stream, IPackageLoadListener& listener, const std::vector<RPackageSection>& sections,
                         RPackageData& package, RPackageHeader* headerOut = nullptr);

// The unscrambled content: filler, the game's identity, then `sections`.
TLoadMessages Package_ReadContent(CStream& content, IPackageLoadListener& listener,
                                  const std::vector<RPackageSection>& sections, RGameIdentity& identity);

// Writes the header (with the settings of `package`) after the version word,
// and the scrambled content (with the identity of `package`) with its
// `sections`: the payload that Package_WriteContainer wraps.
CStream Package_WritePayload(const RPackageHeader& header, const RPackageData& package,
                             const std::vector<RPackageSection>& sections, CPackRandom& random);

}  // namespace tavrin
