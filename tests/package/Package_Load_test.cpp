// The package header and settings: what is read, in which versions, and the
// messages of a damaged header.
#include <gtest/gtest.h>

#include "package/Package_Load.h"
#include "package/Package_Data.h"

namespace tavrin {
namespace {

class RecordingListener : public IPackageLoadListener {
 public:
  void ShowProgress(int percent, const std::string& text) override {
    steps.push_back(std::to_string(percent) + " " + text);
  }
  void HeaderRead(RPackageHeader& header, const RGameSettings&) override {
    headerSeen = true;
    debug = header.debugMode;
    hadImage = header.pictures.image.has_value();
  }
  std::vector<std::string> steps;
  bool headerSeen = false, debug = false, hadImage = false;
};

RGameSettings Unusual() {
  RGameSettings s;
  s.opt_fullscreen = true;
  s.opt_scale = -1;
  s.opt_windowcolor = 0x123456;
  s.opt_showprogress = false;
  s.opt_loadalpha = 17;
  s.opt_uninitzero = true;
  s.opt_checkargs = true;
  s.opt_createfirst = true;
  s.opt_priority = 2;
  return s;
}

TEST(Settings, RoundTripPerVersion) {
  struct Case {
    int32_t version;
    bool createfirstKept;
  };
  for (const Case c : {Case{800, false}, Case{810, false}, Case{820, true}}) {
    SCOPED_TRACE(c.version);
    RLoadPictures pictures;
    pictures.image = TBitmap32(2, 1, 0xFF00FF00u);
    CStream s;
    WriteSettings(s, Unusual(), pictures, c.version);
    s.Seek(0);
    RGameSettings read;
    RLoadPictures readPictures;
    int32_t version = 0;
    ASSERT_TRUE(ReadSettings(s, read, readPictures, &version));
    EXPECT_EQ(version, c.version);
    EXPECT_TRUE(read.opt_fullscreen);
    EXPECT_EQ(read.opt_scale, -1);
    EXPECT_EQ(read.opt_windowcolor, 0x123456);
    EXPECT_FALSE(read.opt_showprogress);
    EXPECT_EQ(read.opt_loadalpha, 17);
    EXPECT_TRUE(read.opt_uninitzero && read.opt_checkargs);
    EXPECT_EQ(read.opt_createfirst, c.createfirstKept);
    EXPECT_EQ(read.opt_priority, 2);
    // Without the progress bar the two bar pictures are absent from the
    // record and the next field is the loading picture.
    EXPECT_FALSE(readPictures.backBar);
    ASSERT_TRUE(readPictures.image);
    EXPECT_EQ(readPictures.image->GetPixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(s.Remaining(), 0u);
  }
}

TEST(Settings, ProgressBarPicturesTravelWhenShown) {
  RGameSettings settings;
  RLoadPictures pictures;
  pictures.frontBar = TBitmap32(4, 4, 0xFFFFFFFFu);
  CStream s;
  WriteSettings(s, settings, pictures);
  s.Seek(0);
  RLoadPictures read;
  ASSERT_TRUE(ReadSettings(s, settings, read));
  EXPECT_FALSE(read.backBar);
  ASSERT_TRUE(read.frontBar);
  EXPECT_EQ(read.frontBar->s_w, 4);
  EXPECT_FALSE(read.image);
}

// What a package's header carries: the header itself, the settings and the
// game's identity.
struct RWritten {
  RPackageHeader header;
  RPackageData package;
};

CStream Header(RWritten& content, int32_t version = kPackageVersion) {
  CPackRandom random(5);
  CStream payload = Package_WritePayload(content.header, content.package, {}, random);
  CStream s;
  s.WriteInteger(version);
  s.Write(payload.Data(), payload.Size());
  s.Seek(0);
  return s;
}

TEST(Header, ReadsSettingsIdentityAndReportsProgress) {
  RWritten content;
  content.header.debugMode = true;
  content.package.settings = Unusual();
  content.package.identity.gameId = 4242;
  content.package.identity.guid[15] = 9;
  CStream s = Header(content);
  RecordingListener listener;
  RPackageData read;
  EXPECT_TRUE(ReadHeader(s, listener, {}, read).empty());
  EXPECT_TRUE(listener.headerSeen);
  EXPECT_TRUE(listener.debug);
  EXPECT_TRUE(read.debugMode);
  EXPECT_EQ(read.settings.opt_loadalpha, 17);
  EXPECT_EQ(read.identity.gameId, 4242);
  EXPECT_EQ(read.identity.guid[15], 9);
  EXPECT_EQ(listener.steps, std::vector<std::string>{"1 Reading data"});
  // Reading fills what it was given and nothing else: the game being played
  // changes only when the runner installs what was read.
  EXPECT_EQ(g_PackageData.identity.gameId, 0);
  EXPECT_FALSE(g_PackageData.settings.opt_fullscreen);
}

TEST(Header, DamagedHeadersGiveTheirMessages) {
  RWritten content;
  RecordingListener listener;
  RPackageData read;

  CStream wrongVersion = Header(content, 809);
  EXPECT_EQ(ReadHeader(wrongVersion, listener, {}, read), TLoadMessages{"Error: Wrong version number."});

  // A settings version below 800, and a settings block cut short.
  CStream oldSettings = Header(content);
  const size_t settingsAt = 16;  // version, stamp days, debug, stamp seconds
  oldSettings.Seek(settingsAt);
  oldSettings.WriteInteger(799);
  oldSettings.Seek(0);
  EXPECT_EQ(ReadHeader(oldSettings, listener, {}, read), TLoadMessages{"Error: Error in resource data."});
  CStream cutSettings = Header(content);
  cutSettings.Bytes().resize(settingsAt + 10);
  EXPECT_EQ(ReadHeader(cutSettings, listener, {}, read), TLoadMessages{"Error: Error in resource data."});
  EXPECT_FALSE(listener.headerSeen);

  // A package cut inside its content is a stream error for the caller.
  CStream cutContent = Header(content);
  cutContent.Bytes().resize(cutContent.Size() - 3);
  EXPECT_THROW(ReadHeader(cutContent, listener, {}, read), CStreamError);

  // A library file name that would leave the temporary folder.
  content.header.libraryName = "../escape.so";
  CStream escaping = Header(content);
  EXPECT_EQ(ReadHeader(escaping, listener, {}, read), TLoadMessages{"Error: Error in resource data."});
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

// Items of a section may be inflated ahead on another core; the reader must
// still see them in order, and a damaged item must fail the section at the
// same item, in the same way, as reading them one by one.
TEST(Sections, ItemsAreReadInOrderAndADamagedOneFailsWhereItIs) {
  constexpr int32_t kCount = 40;
  const auto section = [](int32_t damaged) {
    CStream s;
    Section_WriteStandard(
        s, kSectionVersion, kCount, [](int32_t i) { static const std::string name = "n"; return i % 7 ? &name : nullptr; },
        [](CStream& item, int32_t i) {
          for (int32_t k = 0; k < 1000 * (i % 5 + 1); ++k) item.WriteInteger(i * 31 + k);
        });
    if (damaged >= 0) {
      // Flip a byte inside the compressed data of item `damaged`.
      s.Seek(8);
      for (int32_t i = 0; i < damaged; ++i) s.Seek(s.Position() + 4 + size_t(s.ReadInteger()));
      const int32_t n = s.ReadInteger();
      s.Data()[s.Position() + size_t(n) / 2] ^= 0x5A;
    }
    s.Seek(0);
    return s;
  };
  const auto read = [](CStream s, std::vector<int32_t>& seen) {
    return Section_ReadStandard(
        s, kSectionVersion, [](int32_t) {},
        [&](CStream& item, int32_t i, const std::string&) {
          seen.push_back(i);
          for (int32_t k = 0; k < 1000 * (i % 5 + 1); ++k)
            if (item.ReadInteger() != i * 31 + k) return false;
          return item.Remaining() == 0;
        });
  };
  std::vector<int32_t> seen;
  EXPECT_TRUE(read(section(-1), seen));
  std::vector<int32_t> expected;
  for (int32_t i = 0; i < kCount; ++i)
    if (i % 7) expected.push_back(i);
  EXPECT_EQ(seen, expected);

  for (const int32_t damaged : {1, 20, kCount - 1}) {
    seen.clear();
    EXPECT_THROW(read(section(damaged), seen), CStreamError) << damaged;
    std::vector<int32_t> before;
    for (int32_t i : expected)
      if (i < damaged) before.push_back(i);
    EXPECT_EQ(seen, before) << damaged;
  }
}

}  // namespace
}  // namespace tavrin
