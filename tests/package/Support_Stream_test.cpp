// The byte stream: primitives, sub-streams, ciphers and checksums, checked
// against hand-made bytes and against vectors from an independent reference
// (stream_vectors.py).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <cstring>
#include <fstream>
#include <sstream>

#include "support/TestHex.h"
#include "package/Support_Stream.h"

namespace tavrin {
namespace {

using test::Hex;

// Lines of stream_vectors.txt whose first word is `kind`, split in words.
std::vector<std::vector<std::string>> Vectors(const std::string& kind) {
  std::ifstream in(std::string(TAVRIN_TESTS_DIR) + "/package/stream_vectors.txt");
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::vector<std::string> row;
    for (std::string w; words >> w;) row.push_back(w);
    if (!row.empty() && row[0] == kind) rows.push_back(row);
  }
  return rows;
}

TEST(Stream, PrimitivesReadTheirBytes) {
  struct Case {
    std::vector<uint8_t> bytes;
    std::function<void(CStream&)> check;
  };
  const std::vector<Case> cases = {
      {{0x01, 0x00, 0x00, 0x00}, [](CStream& s) { EXPECT_EQ(s.ReadInteger(), 1); }},
      {{0xFF, 0xFF, 0xFF, 0xFF}, [](CStream& s) { EXPECT_EQ(s.ReadInteger(), -1); }},
      {{0x00, 0x00, 0x00, 0x80}, [](CStream& s) { EXPECT_EQ(s.ReadInteger(), INT32_MIN); }},
      {{0xFF, 0xFF, 0xFF, 0xFF}, [](CStream& s) { EXPECT_FALSE(s.ReadBoolean()); }},  // -1 is false
      {{0x02, 0x00, 0x00, 0x00}, [](CStream& s) { EXPECT_TRUE(s.ReadBoolean()); }},
      {{0x00, 0x00, 0x00, 0x00}, [](CStream& s) { EXPECT_FALSE(s.ReadBoolean()); }},
      {{0, 0, 0, 0, 0, 0, 0xF8, 0x3F}, [](CStream& s) { EXPECT_EQ(s.ReadReal(), 1.5); }},
      {{0, 0, 0, 0, 0, 0, 0xF0, 0xFF}, [](CStream& s) { EXPECT_EQ(s.ReadReal(), -INFINITY); }},
      {{3, 0, 0, 0, 'a', 0xC3, 0xA9}, [](CStream& s) { EXPECT_EQ(s.ReadString(), "a\xC3\xA9"); }},
      // Empty and negative lengths read as the empty string and take only the length.
      {{0, 0, 0, 0, 7, 0, 0, 0}, [](CStream& s) { EXPECT_EQ(s.ReadString(), ""); EXPECT_EQ(s.Position(), 4u); }},
      {{0xFE, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0},
       [](CStream& s) { EXPECT_EQ(s.ReadString(), ""); EXPECT_EQ(s.ReadInteger(), 7); }},
      {{2, 0, 0, 0, 9, 8, 5}, [](CStream& s) {
         CStream sub = s.ReadStream();
         EXPECT_EQ(sub.Bytes(), (std::vector<uint8_t>{9, 8}));
         EXPECT_EQ(sub.Position(), 0u);
         EXPECT_EQ(s.Position(), 6u);
       }},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    CStream s(cases[i].bytes);
    cases[i].check(s);
  }
}

TEST(Stream, WritesReadBack) {
  CStream s;
  s.WriteInteger(-123456);
  s.WriteReal(-0.1);
  s.WriteBoolean(true);
  s.WriteString("h\xC3\xA9llo");
  s.WriteString("");
  CStream inner(std::vector<uint8_t>{1, 2, 3});
  inner.Seek(2);
  s.WriteStream(inner);
  EXPECT_EQ(inner.Position(), 2u);  // the source keeps its place
  s.Seek(0);
  EXPECT_EQ(s.ReadInteger(), -123456);
  EXPECT_EQ(s.ReadReal(), -0.1);
  EXPECT_TRUE(s.ReadBoolean());
  EXPECT_EQ(s.ReadString(), "h\xC3\xA9llo");
  EXPECT_EQ(s.ReadString(), "");
  EXPECT_EQ(s.ReadStream().Bytes(), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(s.Remaining(), 0u);
}

TEST(Stream, ReadsBeyondTheEndThrowBeforeAllocating) {
  const std::vector<std::vector<uint8_t>> damaged = {
      {},                                    // no integer at all
      {1, 2, 3},                             // a short integer
      {5, 0, 0, 0, 'a', 'b'},                // a string longer than the stream
      {0xFF, 0xFF, 0xFF, 0x7F},              // a length of 2 GiB
      {0xFF, 0xFF, 0xFF, 0xFF, 1},           // a raw stream of negative length
  };
  for (const auto& bytes : damaged) {
    CStream s(bytes);
    EXPECT_THROW({
      s.ReadString();
      s.ReadInteger();
    }, CStreamError);
    CStream r(bytes);
    EXPECT_THROW(r.ReadStream(), CStreamError);
  }
  CStream real(std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7});
  EXPECT_THROW(real.ReadReal(), CStreamError);
}

TEST(Stream, CompressedSubStreamsRoundTripAndRejectDamage) {
  CStream src;
  for (int i = 0; i < 10000; ++i) src.WriteInteger(i % 7);
  CStream s;
  s.WriteStreamC(src);
  EXPECT_LT(s.Size(), src.Size() / 10);
  s.Seek(0);
  EXPECT_EQ(s.ReadStreamC().Bytes(), src.Bytes());

  // A flipped byte in the middle of the zlib data, and a cut-off stream.
  CStream flipped = s;
  flipped.Data()[flipped.Size() / 2] ^= 0x55;
  flipped.Seek(0);
  EXPECT_THROW(flipped.ReadStreamC(), CStreamError);
  std::vector<uint8_t> cut(s.Bytes().begin(), s.Bytes().end() - 6);
  const int32_t len = int32_t(cut.size() - 4);
  std::memcpy(cut.data(), &len, 4);
  CStream truncated(cut);
  EXPECT_THROW(truncated.ReadStreamC(), CStreamError);
}

TEST(Stream, InflateStopsAtItsLimit) {
  const std::vector<uint8_t> zeros(1 << 20, 0);
  const std::vector<uint8_t> packed = Stream_Deflate(zeros.data(), zeros.size());
  EXPECT_THROW(Stream_Inflate(packed.data(), packed.size(), 1000), CStreamError);
  EXPECT_EQ(Stream_Inflate(packed.data(), packed.size()).size(), zeros.size());
}

TEST(Stream, ScrambledSubStreamMatchesTheReference) {
  const auto rows = Vectors("scrambled");
  ASSERT_EQ(rows.size(), 4u);  // data lengths 0, 1, 2 and 300
  for (const auto& row : rows) {
    CStream s(Hex(row[1]));
    CStream plain = s.ReadStreamE();
    EXPECT_EQ(plain.Bytes(), Hex(row[2]));
    EXPECT_EQ(plain.Position(), 0u);
    EXPECT_EQ(s.Remaining(), 0u);
  }
}

TEST(Stream, ScrambledSubStreamRoundTripsAndIsSeeded) {
  for (size_t n : {0, 1, 2, 255, 256, 257, 5000}) {
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i) data[i] = uint8_t(i * 31 + 7);
    CStream a(data), b(data);
    CPackRandom r1(42), r2(42);
    CStream outA, outB;
    outA.WriteStreamE(a, r1);
    outB.WriteStreamE(b, r2);
    EXPECT_EQ(outA.Bytes(), outB.Bytes()) << n;  // same seed, same bytes
    outA.Seek(0);
    EXPECT_EQ(outA.ReadStreamE().Bytes(), data) << n;
  }
}

TEST(Stream, CrcAndLocalRandomMatchTheirDefinitions) {
  const uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(CalcCRC(abc, 3), 0xCADBBE3Du);
  EXPECT_EQ(CalcCRC(abc, 0), 0xFFFFFFFFu);
  EXPECT_EQ(CalcCRC(abc, -5), 0xFFFFFFFFu);

  const auto rows = Vectors("localrandom");
  ASSERT_EQ(rows.size(), 1u);
  uint32_t z = uint32_t(std::stoul(rows[0][1], nullptr, 16)), w = uint32_t(std::stoul(rows[0][2], nullptr, 16));
  for (size_t i = 3; i < rows[0].size(); ++i) EXPECT_EQ(LocalRandom(z, w), std::stoul(rows[0][i], nullptr, 16));
}

TEST(Stream, ByteCiphersInvertForAnyKey) {
  std::vector<uint8_t> data(600);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7);
  // Large negative keys once walked outside the substitution table.
  for (int32_t key : {0, 1, 249, 250, 123456, -1, -250, -64001, -1000000, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(key);
    CStream s(data);
    s.Encrypt(key, 0, 0);
    EXPECT_NE(s.Bytes(), data);
    EXPECT_EQ(s.Bytes()[0], 0);  // the value 0 is a fixed point of the table
    s.Decrypt(key, 0, 0);
    EXPECT_EQ(s.Bytes(), data);
    s.Encrypt2(key, 10, 100);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 10, s.Bytes().begin()));
    EXPECT_TRUE(std::equal(data.begin() + 110, data.end(), s.Bytes().begin() + 110));
    s.Decrypt2(key, 10, 100);
    EXPECT_EQ(s.Bytes(), data);
  }
}

TEST(Stream, CipherRangesFollowPositionAndCount) {
  const std::vector<uint8_t> data = {10, 20, 30, 40, 50};
  CStream whole(data), tail(data), beyond(data);
  whole.Encrypt(77, 0, -1);
  tail.Encrypt(77, 2, 0);  // a count of 0 runs to the end
  EXPECT_EQ(std::vector<uint8_t>(whole.Bytes().begin() + 2, whole.Bytes().end()),
            std::vector<uint8_t>(tail.Bytes().begin() + 2, tail.Bytes().end()));
  EXPECT_EQ(tail.Bytes()[1], 20);
  beyond.Decrypt(77, 99, 0);
  EXPECT_EQ(beyond.Bytes(), data);
  EXPECT_EQ(whole.Position(), 0u);
}

TEST(Stream, CheckSumAndHexForm) {
  std::vector<uint8_t> bytes(8000, 0xFF);
  EXPECT_EQ(CStream(bytes).CheckSum(), (8000 * 255) % 1000000);
  EXPECT_EQ(CStream().CheckSum(), 0);

  CStream s(std::vector<uint8_t>{0x00, 0xAB, 0x7F});
  EXPECT_EQ(s.ConvertToString(), "00AB7F");
  CStream back;
  back.WriteInteger(5);
  back.ConvertFromString("00ab7F1");  // the odd last character is ignored
  EXPECT_EQ(back.Bytes(), (std::vector<uint8_t>{0x00, 0xAB, 0x7F}));
  EXPECT_EQ(back.Position(), 0u);
  back.ConvertFromString("");
  EXPECT_EQ(back.Size(), 0u);
}

TEST(Stream, BitmapsRoundTripAndBadOnesReadAsNothing) {
  TBitmap32 bm(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) bm.SetPixel(x, y, 0x80000000u | uint32_t(x * 0x10 + y));
  CStream s;
  s.WriteBitmap(&bm);
  s.WriteBitmap(nullptr);
  CStream bad;
  bad.Write("not a bmp", 9);
  s.WriteBoolean(true);
  s.WriteStreamC(bad);
  s.Seek(0);
  const auto read = s.ReadBitmap();
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, bm);
  EXPECT_FALSE(s.ReadBitmap());
  EXPECT_FALSE(s.ReadBitmap());
  EXPECT_EQ(s.Remaining(), 0u);
}

TEST(Bitmap, DecodesTwentyFourBitBottomUpFiles) {
  // 2 x 2, 24 bits, rows padded to 8 bytes, bottom row first.
  std::vector<uint8_t> f = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                            40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0,   // bottom row
                            0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0, 0};  // top row
  const auto bm = Bitmap_DecodeBMP(f);
  ASSERT_TRUE(bm);
  EXPECT_EQ(bm->GetPixel(0, 0), 0xFF131211u);
  EXPECT_EQ(bm->GetPixel(1, 1), 0xFF060504u);
  f.resize(f.size() - 3);  // pixel rows cut short
  EXPECT_FALSE(Bitmap_DecodeBMP(f));
}

}  // namespace
}  // namespace tavrin
