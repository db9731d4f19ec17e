// CStream: the growable in-memory byte stream through which every package
// record, saved game and data-structure string is read and written.
//
// Encodings (all little-endian): integer = 4-byte two's complement; real =
// 8-byte IEEE double; boolean = an integer, true when > 0; string = integer
// byte count then UTF-8 bytes (a count <= 0 is the empty string); raw,
// zlib-compressed and scrambled sub-streams; bitmaps as compressed BMP files.
//
// Reading past the end, or a count or length larger than what remains, throws
// CStreamError before anything is allocated: stream bytes are untrusted.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "package/BM32_Bitmap.h"

namespace tavrin {

class CStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A seedable random source for the writing side, so that the same input and
// seed always give byte-identical packages.
class CPackRandom {
 public:
  explicit CPackRandom(uint64_t seed) : m_state(seed) {}
  uint32_t Next();                   // any 32-bit value
  uint32_t Below(uint32_t bound);    // 0 .. bound-1 (bound > 0)
 private:
  uint64_t m_state;
};

// The largest stream an inflate may produce; a hostile package cannot make
// the runner allocate without bound.
inline constexpr size_t kStreamMaxInflated = size_t(1) << 30;

class CStream {
 public:
  CStream() = default;
  explicit CStream(std::vector<uint8_t> bytes) : m_data(std::move(bytes)) {}
  CStream(const uint8_t* bytes, size_t n) : m_data(bytes, bytes + n) {}

  // Memory-stream basics.
  size_t Size() const { return m_data.size(); }
  size_t Position() const { return m_pos; }
  size_t Remaining() const { return m_pos < m_data.size() ? m_data.size() - m_pos : 0; }
  void Seek(size_t pos) { m_pos = pos; }
  uint8_t* Data() { return m_data.data(); }
  const uint8_t* Data() const { return m_data.data(); }
  std::vector<uint8_t>& Bytes() { return m_data; }
  const std::vector<uint8_t>& Bytes() const { return m_data; }
  void Clear() { m_data.clear(); m_pos = 0; }
  // Whether `count` items of at least `minItemBytes` each could still follow:
  // a count read from the stream is checked so before it sizes anything.
  bool CountFits(int64_t count, size_t minItemBytes) const {
    return count >= 0 && uint64_t(count) <= Remaining() / minItemBytes;
  }
  // A length read from the stream: non-negative and within what remains,
  // else CStreamError.
  size_t ReadLength();
  void Read(void* dst, size_t n);
  void Write(const void* src, size_t n);
  // Whole-file transfer. LoadFromFile replaces the contents and rewinds;
  // SaveToFile writes through a temporary file and a rename, so an old file is
  // never lost half-written.
  bool LoadFromFile(const std::string& path);
  bool SaveToFile(const std::string& path) const;

  // Primitives.
  int32_t ReadInteger();
  double ReadReal();
  bool ReadBoolean();
  std::string ReadString();
  void WriteInteger(int32_t v);
  void WriteReal(double v);
  void WriteBoolean(bool v);
  void WriteString(std::string_view s);

  // Sub-streams; every returned stream is new, positioned at 0.
  CStream ReadStream();
  CStream ReadStreamC();
  CStream ReadStreamE();
  // The same, unscrambled in place: afterwards the stream stands at the
  // first byte of the plain data, and the data's length is returned. The
  // package content is read so, without a second copy of the package.
  size_t UnscrambleE();
  void WriteStream(const CStream& src);
  void WriteStreamC(const CStream& src);
  // Scrambles `src` in place (it is left scrambled) and writes it.
  void WriteStreamE(CStream& src, CPackRandom& random);

  // A picture: a flag, then (when set) a compressed BMP file. Nothing when
  // the flag is clear or the file is no picture; the pixels are spent from
  // the open picture budget, and a picture beyond it throws.
  std::optional<TBitmap32> ReadBitmap();
  void WriteBitmap(const TBitmap32* bitmap);

  // Byte ciphers over `count` bytes from `pos` (count <= 0: to the end).
  void Encrypt(int32_t key, int64_t pos, int64_t count);
  void Decrypt(int32_t key, int64_t pos, int64_t count);
  void Encrypt2(int32_t key, int64_t pos, int64_t count);
  void Decrypt2(int32_t key, int64_t pos, int64_t count);

  int32_t CheckSum() const;
  std::string ConvertToString() const;
  void ConvertFromString(std::string_view hex);

 private:
  const uint8_t* Take(size_t n);  // checks, advances, returns the bytes
  size_t ReadScrambleHeader(std::array<uint8_t, 256>& table);

  std::vector<uint8_t> m_data;
  size_t m_pos = 0;
};

// The package checksum: the reflected CRC-32 (polynomial 0xEDB88320) started
// at 0xFFFFFFFF and not inverted at the end. A size <= 0 gives 0xFFFFFFFF.
uint32_t CalcCRC(const uint8_t* buffer, int64_t size);
// Multiply-with-carry generator over two state words, updated in place.
// Inline: the container is unscrambled with one call per word.
inline uint32_t LocalRandom(uint32_t& z, uint32_t& w) {
  z = 36969u * (z & 0xFFFFu) + (z >> 16);
  w = 18000u * (w & 0xFFFFu) + (w >> 16);
  return (z << 16) + (w & 0xFFFFu);
}

// Inflates a zlib stream (RFC 1950); throws CStreamError on bad data or when
// the result would exceed `limit` bytes.
std::vector<uint8_t> Stream_Inflate(const uint8_t* src, size_t n, size_t limit = kStreamMaxInflated);
// Inflates a zlib stream that must hold exactly `size` bytes straight into
// `dst` (room for `size` bytes): no copy, no growing. False on bad data or
// any other length; `dst` may then be partly written.
bool Stream_InflateInto(const uint8_t* src, size_t n, uint8_t* dst, size_t size);
std::vector<uint8_t> Stream_Deflate(const uint8_t* src, size_t n);
// Told of every zlib stream a CStream inflates (the load benchmark uses it to
// time plain zlib on exactly the same data); null to stop.
void Stream_SetInflateObserver(void (*observer)(const uint8_t* src, size_t n));
bool Stream_InflateObserved();

}  // namespace tavrin
