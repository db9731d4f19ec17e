// The package container: finding the marker, unscrambling, and the failures
// a damaged or foreign file must give.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TestHex.h"
#include "package/Support_File.h"

namespace tavrin {
namespace {

using test::Hex;

class ContainerTest : public ::testing::Test {
 protected:
  std::string Write(const std::vector<uint8_t>& bytes) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("tavrin_container_" + std::to_string(::getpid()) + "_" + std::to_string(m_files++)))
                                 .string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    m_paths.push_back(path);
    return path;
  }
  void TearDown() override {
    for (const auto& p : m_paths) std::filesystem::remove(p);
  }
  // A container written by our writer behind `prefix` bytes of zeros.
  std::vector<uint8_t> Package(const std::vector<uint8_t>& payload, size_t prefix = 0) {
    CStream out(std::vector<uint8_t>(prefix, 0));
    out.Seek(out.Size());
    CPackRandom random(7);
    Package_WriteContainer(out, 810, CStream(payload), random);
    return out.Bytes();
  }
  int m_files = 0;
  std::vector<std::string> m_paths;
};

TEST_F(ContainerTest, ReferenceContainersUnscrambleInPlace) {
  std::ifstream in(std::string(TAVRIN_TESTS_DIR) + "/package/stream_vectors.txt");
  int seen = 0;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string kind, container, payload;
    words >> kind >> container >> payload;
    if (kind != "container") continue;
    ++seen;
    std::vector<uint8_t> file(kPackageScanStart + 100, 0);  // the marker lies past the scan start
    const std::vector<uint8_t> c = Hex(container);
    file.insert(file.end(), c.begin(), c.end());
    CStream s;
    ASSERT_EQ(LocatePackage(Write(file), s), ELocate::Ok);
    EXPECT_EQ(s.Position(), kPackageScanStart + 100 + 16);
    EXPECT_EQ(s.ReadInteger(), 810);
    EXPECT_EQ(std::vector<uint8_t>(s.Bytes().begin() + long(s.Position()), s.Bytes().end()), Hex(payload));
  }
  EXPECT_EQ(seen, 4);
}

TEST_F(ContainerTest, WriterAndReaderAgree) {
  std::vector<uint8_t> payload(1000);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = uint8_t(i);
  const std::vector<uint8_t> file = Package(payload, 10);
  EXPECT_EQ(Package(payload, 10), file);  // same seed, same bytes
  CStream s;
  ASSERT_EQ(LocatePackage(Write(file), s), ELocate::Ok);
  EXPECT_EQ(s.ReadInteger(), 810);
  EXPECT_EQ(std::vector<uint8_t>(s.Bytes().begin() + long(s.Position()), s.Bytes().end()), payload);
}

TEST_F(ContainerTest, DamagedAndForeignFilesFailWithTheirMessages) {
  const std::vector<uint8_t> good = Package(std::vector<uint8_t>(200, 0x5A));
  const size_t marker = kPackageScanStart;

  std::vector<uint8_t> flipped = good;
  flipped[marker + 20 + 150] ^= 0x01;  // one payload bit

  // The same container placed before the scan start is never found.
  std::vector<uint8_t> early(good.begin() + long(marker), good.end());
  early.insert(early.begin(), 1000, 0);
  early.resize(kPackageScanStart + 500, 0);

  std::vector<uint8_t> nearEnd(good.begin(), good.begin() + long(marker) + 12);  // marker, then only W0 and W1
  std::vector<uint8_t> shortFile(100, 0);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    ELocate expected;
  };
  const Case cases[] = {
      {"flipped payload byte", flipped, ELocate::NotValid},
      {"marker before the scan start", early, ELocate::NotValid},
      {"marker within 20 bytes of the end", nearEnd, ELocate::Corrupted},
      {"file shorter than the scan start", shortFile, ELocate::NotValid},
  };
  for (const Case& c : cases) {
    CStream s;
    EXPECT_EQ(LocatePackage(Write(c.bytes), s), c.expected) << c.name;
  }
  CStream s;
  EXPECT_EQ(LocatePackage("/nonexistent/game.bin", s), ELocate::CannotRead);
  EXPECT_STREQ(Locate_Message(ELocate::CannotRead), "Error: Cannot read the game file.");
  EXPECT_STREQ(Locate_Message(ELocate::NotValid), "Error: Not a valid game file.");
  EXPECT_STREQ(Locate_Message(ELocate::Corrupted), "Failed to load the game data. File seems corrupted.");
}

TEST(Marker, FoundAtEveryPlaceFromTheStartToTheLastWhole8Bytes) {
  const uint8_t marker[8] = {0x12, 0x00, 0x34, 0xF7, 0x67, 0x56, 0x14, 0x78};  // A, B around the fixed bytes
  for (size_t at : {size_t(5), size_t(6), size_t(40), size_t(92)}) {
    std::vector<uint8_t> bytes(100, 0xF7);  // candidates everywhere, none whole
    std::copy(std::begin(marker), std::end(marker), bytes.begin() + long(at));
    const int64_t expected = at >= 6 ? int64_t(at) : -1;  // before the start it is never found
    EXPECT_EQ(Package_FindMarker(bytes.data(), bytes.size(), 6), expected) << at;
  }
  EXPECT_EQ(Package_FindMarker(marker, 7, 0), -1);  // too short to hold one
  EXPECT_EQ(Package_FindMarker(marker, 8, 1), -1);
  EXPECT_EQ(Package_FindMarker(marker, 8, 0), 0);
}

// A runner's own bytes (its debugging sections hold megabytes of arbitrary
// data) must never count as an appended game: in an ELF image the marker is
// looked for only past the section table that ends the linked file.
TEST(Marker, NeverInsideTheRunnersOwnElfImage) {
  const uint8_t marker[8] = {0x12, 0x00, 0x34, 0xF7, 0x67, 0x56, 0x14, 0x78};
  std::vector<uint8_t> bytes(400, 0);
  const uint8_t ident[6] = {0x7F, 'E', 'L', 'F', 2, 1};
  std::copy(std::begin(ident), std::end(ident), bytes.begin());
  const uint64_t table = 200;
  const uint16_t entrySize = 64, entries = 2;  // the image ends at 328
  std::memcpy(&bytes[0x28], &table, 8);
  std::memcpy(&bytes[0x3A], &entrySize, 2);
  std::memcpy(&bytes[0x3C], &entries, 2);
  struct { size_t at; int64_t expected; } cases[] = {{100, -1}, {320, -1}, {328, 328}, {380, 380}};
  for (const auto& c : cases) {
    std::vector<uint8_t> image = bytes;
    std::copy(std::begin(marker), std::end(marker), image.begin() + long(c.at));
    EXPECT_EQ(Package_FindMarker(image.data(), image.size(), 0), c.expected) << c.at;
  }
  // A section table said to lie past the end is no image of ours: the whole file is scanned.
  const uint64_t beyond = 100000;
  std::memcpy(&bytes[0x28], &beyond, 8);
  std::copy(std::begin(marker), std::end(marker), bytes.begin() + 100);
  EXPECT_EQ(Package_FindMarker(bytes.data(), bytes.size(), 0), 100);
}

TEST_F(ContainerTest, WriterRefusesAFileThatAlreadyHoldsAMarker) {
  CStream out(Package(std::vector<uint8_t>(10, 1)));
  out.Seek(out.Size());
  CPackRandom random(3);
  EXPECT_THROW(Package_WriteContainer(out, 810, CStream(), random), CStreamError);
}

}  // namespace
}  // namespace tavrin
