#include "package/Support_Stream.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Platform_File.h"

namespace tavrin {

// ---------------------------------------------------------------- random

uint32_t CPackRandom::Next() {
  // splitmix64: tiny, fully defined, the same on every machine.
  uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return uint32_t((z ^ (z >> 31)) >> 32);
}

uint32_t CPackRandom::Below(uint32_t bound) { return uint32_t((uint64_t(Next()) * bound) >> 32); }

// ---------------------------------------------------------------- basics

const uint8_t* CStream::Take(size_t n) {
  if (n > Remaining()) throw CStreamError("read beyond the end of the stream");
  const uint8_t* p = m_data.data() + m_pos;
  m_pos += n;
  return p;
}

size_t CStream::ReadLength() {
  const int32_t n = ReadInteger();
  if (n < 0 || size_t(n) > Remaining()) throw CStreamError("length beyond the end of the stream");
  return size_t(n);
}

void CStream::Read(void* dst, size_t n) {
  if (n) std::memcpy(dst, Take(n), n);
}

void CStream::Write(const void* src, size_t n) {
  if (!n) return;
  if (m_pos > m_data.size()) m_data.resize(m_pos);
  const size_t end = m_pos + n;
  if (end > m_data.size()) m_data.resize(end);
  std::memcpy(m_data.data() + m_pos, src, n);
  m_pos = end;
}

bool CStream::LoadFromFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  const off_t size = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode) ? ::lseek(fd, 0, SEEK_END) : off_t(-1);
  bool ok = size >= 0 && ::lseek(fd, 0, SEEK_SET) == 0;
  std::vector<uint8_t> bytes;
  if (ok) {
    // A package is tens of megabytes read once at start: the buffer is not
    // zero-filled first (the file is read a piece at a time through a small
    // buffer that stays in the cache and appended), and the kernel is asked
    // to back it with huge pages, so filling it does not fault on every 4 KB.
    bytes.reserve(size_t(size));
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(bytes.data()) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(bytes.data()) + size_t(size)) & ~(kHuge - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    std::array<uint8_t, 128 * 1024> piece;
    while (ok && bytes.size() < size_t(size)) {
      const ssize_t got = ::read(fd, piece.data(), std::min(piece.size(), size_t(size) - bytes.size()));
      if (got < 0 && errno == EINTR) continue;
      ok = got > 0;
      if (ok) bytes.insert(bytes.end(), piece.data(), piece.data() + got);
    }
  }
  ::close(fd);
  if (!ok) return false;
  m_data = std::move(bytes);
  m_pos = 0;
  return true;
}

bool CStream::SaveToFile(const std::string& path) const { return File_ReplaceWith(path, m_data.data(), m_data.size()); }

// ---------------------------------------------------------------- primitives

int32_t CStream::ReadInteger() {
  const uint8_t* p = Take(4);
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

double CStream::ReadReal() {
  const uint8_t* p = Take(8);
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
  double v;
  std::memcpy(&v, &bits, 8);
  return v;
}

bool CStream::ReadBoolean() { return ReadInteger() > 0; }

std::string CStream::ReadString() {
  const int32_t n = ReadInteger();
  if (n <= 0) return {};
  const uint8_t* p = Take(size_t(n));
  return std::string(reinterpret_cast<const char*>(p), size_t(n));
}

void CStream::WriteInteger(int32_t v) {
  const uint32_t u = uint32_t(v);
  const uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  Write(b, 4);
}

void CStream::WriteReal(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = uint8_t(bits >> (8 * i));
  Write(b, 8);
}

void CStream::WriteBoolean(bool v) { WriteInteger(v ? 1 : 0); }

void CStream::WriteString(std::string_view s) {
  WriteInteger(int32_t(s.size()));
  Write(s.data(), s.size());
}

// ---------------------------------------------------------------- sub-streams

CStream CStream::ReadStream() {
  const size_t n = ReadLength();
  const uint8_t* p = Take(n);
  return CStream(p, n);
}

namespace {
void (*g_inflateObserver)(const uint8_t*, size_t) = nullptr;
}

void Stream_SetInflateObserver(void (*observer)(const uint8_t*, size_t)) { g_inflateObserver = observer; }
bool Stream_InflateObserved() { return g_inflateObserver != nullptr; }

CStream CStream::ReadStreamC() {
  const size_t n = ReadLength();
  const uint8_t* p = Take(n);
  return CStream(Stream_Inflate(p, n));
}

void CStream::WriteStream(const CStream& src) {
  WriteInteger(int32_t(src.Size()));
  Write(src.Data(), src.Size());
}

void CStream::WriteStreamC(const CStream& src) {
  const std::vector<uint8_t> packed = Stream_Deflate(src.Data(), src.Size());
  WriteInteger(int32_t(packed.size()));
  Write(packed.data(), packed.size());
}

namespace {

// Undoes the chaining, then the shuffle, of a scrambled block, in one sweep
// from the end so that each byte of a package is loaded once: a shuffle step
// at i reaches at most 255 bytes back, so the chaining is undone just that
// far ahead of it, and below that the bytes are still as scrambled (which
// undoing the chaining of the byte above needs).
void Unscramble(uint8_t* d, size_t n, const std::array<uint8_t, 256>& t) {
  std::array<uint8_t, 256> u{};
  for (int i = 0; i < 256; ++i) u[t[i]] = uint8_t(i);
  const auto unchain = [&](size_t j) { d[j] = uint8_t(u[d[j]] - j - d[j - 1]); };
  constexpr size_t kReach = 255;
  // The last bytes first: the first step reaches that far down.
  for (size_t j = n; j-- > (n > kReach ? n - kReach : 1);) unchain(j);
  size_t i = n;
  for (; i-- > kReach + 1;) {
    unchain(i - kReach);
    std::swap(d[i], d[i - t[i & 0xFF]]);
  }
  // The first bytes, all unchained by now (byte 0 never is chained): here a
  // step may reach below the start, and takes byte 0 instead.
  for (++i; i-- > 0;) {
    const size_t back = t[i & 0xFF];
    std::swap(d[i], d[i >= back ? i - back : 0]);
  }
}

}  // namespace

// The scrambled sub-stream: two runs of filler integers around a 256-byte
// permutation T, then the data, shuffled by T and chained so that every byte
// depends on the one before it. Reads up to the data; returns its length.
size_t CStream::ReadScrambleHeader(std::array<uint8_t, 256>& t) {
  const int32_t a = ReadInteger();
  const int32_t b = ReadInteger();
  if (a < 0 || b < 0) throw CStreamError("bad scrambled stream");
  Take(size_t(a) * 4);
  Read(t.data(), 256);
  Take(size_t(b) * 4);
  return ReadLength();
}

CStream CStream::ReadStreamE() {
  std::array<uint8_t, 256> t;
  const size_t n = ReadScrambleHeader(t);
  const uint8_t* data = Take(n);
  CStream plain(data, n);
  Unscramble(plain.Data(), n, t);
  return plain;
}

size_t CStream::UnscrambleE() {
  std::array<uint8_t, 256> t;
  const size_t n = ReadScrambleHeader(t);
  Unscramble(m_data.data() + m_pos, n, t);
  return n;
}

void CStream::WriteStreamE(CStream& src, CPackRandom& random) {
  std::array<uint8_t, 256> t;
  for (int i = 0; i < 256; ++i) t[i] = uint8_t(i);
  for (int i = 0; i < 256; ++i) std::swap(t[i], t[random.Below(255)]);
  const int32_t a = int32_t(100 + random.Below(500));
  const int32_t b = int32_t(100 + random.Below(500));
  WriteInteger(a);
  WriteInteger(b);
  for (int32_t i = 0; i < a; ++i) WriteInteger(int32_t(random.Below(268435455)));
  Write(t.data(), 256);
  for (int32_t i = 0; i < b; ++i) WriteInteger(int32_t(random.Below(268435455)));

  std::vector<uint8_t>& d = src.m_data;
  const size_t n = d.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t back = t[i & 0xFF];
    std::swap(d[i], d[i >= back ? i - back : 0]);
  }
  for (size_t i = 1; i < n; ++i) d[i] = t[uint8_t(d[i] + d[i - 1] + i)];
  WriteStream(src);
}

std::optional<TBitmap32> CStream::ReadBitmap() {
  if (!ReadBoolean()) return std::nullopt;
  const size_t n = ReadLength();
  const uint8_t* p = Take(n);
  // No BMP of an allowed picture is larger than its pixels plus headers.
  constexpr size_t kLargestFile = kBitmapMaxPixels * 4 + (size_t(1) << 20);
  std::optional<TBitmap32> bitmap = Bitmap_DecodeBMP(Stream_Inflate(p, n, kLargestFile));
  if (bitmap && !CPictureBudget::Spend(uint64_t(bitmap->s_data.size())))
    throw CStreamError("pictures beyond what a package may hold");
  return bitmap;
}

void CStream::WriteBitmap(const TBitmap32* bitmap) {
  WriteBoolean(bitmap != nullptr);
  if (bitmap) WriteStreamC(CStream(Bitmap_EncodeBMP(*bitmap)));
}

// ---------------------------------------------------------------- byte ciphers

namespace {

struct RCipherTables {
  std::array<uint8_t, 256> f, g;
};

// Builds the substitution F and its inverse G for a key. Keys far below zero
// leave the offset b negative; the walk index is then taken as a floor
// modulus so that every key, not just the common ones, stays inside the table.
RCipherTables Cipher_Tables(int32_t key) {
  int64_t a = int64_t(key) % 250 + 6;
  int64_t b = int64_t(key) / 250;
  if (a < 0) a += 256;
  if (b < 0) b += 256;
  RCipherTables c;
  for (int i = 0; i < 256; ++i) c.f[i] = c.g[i] = uint8_t(i);
  for (int64_t i = 1; i <= 10000; ++i) {
    int64_t r = (i * a + b) % 254;
    if (r < 0) r += 254;
    const int64_t j = r + 1;
    std::swap(c.f[j], c.f[j + 1]);
  }
  for (int i = 1; i < 256; ++i) c.g[c.f[i]] = uint8_t(i);
  return c;
}

template <class Op>
void Cipher_Apply(std::vector<uint8_t>& d, int64_t pos, int64_t count, Op op) {
  const int64_t size = int64_t(d.size());
  if (pos < 0) pos = 0;
  const int64_t end = (count <= 0 || count > size - pos) ? size : pos + count;
  for (int64_t i = pos; i < end; ++i) d[size_t(i)] = op(d[size_t(i)], i);
}

}  // namespace

void CStream::Encrypt(int32_t key, int64_t pos, int64_t count) {
  const RCipherTables c = Cipher_Tables(key);
  Cipher_Apply(m_data, pos, count, [&](uint8_t v, int64_t) { return c.f[v]; });
}
void CStream::Decrypt(int32_t key, int64_t pos, int64_t count) {
  const RCipherTables c = Cipher_Tables(key);
  Cipher_Apply(m_data, pos, count, [&](uint8_t v, int64_t) { return c.g[v]; });
}
void CStream::Encrypt2(int32_t key, int64_t pos, int64_t count) {
  const RCipherTables c = Cipher_Tables(key);
  Cipher_Apply(m_data, pos, count, [&](uint8_t v, int64_t i) { return c.f[uint8_t(v + i)]; });
}
void CStream::Decrypt2(int32_t key, int64_t pos, int64_t count) {
  const RCipherTables c = Cipher_Tables(key);
  Cipher_Apply(m_data, pos, count, [&](uint8_t v, int64_t i) { return uint8_t(c.g[v] - i); });
}

int32_t CStream::CheckSum() const {
  int32_t sum = 0;
  for (uint8_t b : m_data) sum = (sum + b) % 1000000;
  return sum;
}

std::string CStream::ConvertToString() const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s(m_data.size() * 2, '0');
  for (size_t i = 0; i < m_data.size(); ++i) {
    s[2 * i] = kHex[m_data[i] >> 4];
    s[2 * i + 1] = kHex[m_data[i] & 15];
  }
  return s;
}

void CStream::ConvertFromString(std::string_view hex) {
  auto digit = [](char c) -> uint8_t {
    if (c >= '0' && c <= '9') return uint8_t(c - '0');
    if (c >= 'A' && c <= 'F') return uint8_t(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return uint8_t(c - 'a' + 10);
    return 0;  // a stray character counts as 0 rather than failing the whole text
  };
  m_data.resize(hex.size() / 2);
  for (size_t i = 0; i < m_data.size(); ++i) m_data[i] = uint8_t(digit(hex[2 * i]) << 4 | digit(hex[2 * i + 1]));
  m_pos = 0;
}

// ---------------------------------------------------------------- checksums

uint32_t CalcCRC(const uint8_t* buffer, int64_t size) {
  if (size <= 0) return 0xFFFFFFFFu;
  // zlib's crc32 is the same reflected CRC with the final inversion applied;
  // undoing it gives the package checksum at zlib's speed.
  uLong crc = crc32(0L, Z_NULL, 0);
  while (size > 0) {
    const uInt chunk = size > (1 << 30) ? (1u << 30) : uInt(size);
    crc = crc32(crc, buffer, chunk);
    buffer += chunk;
    size -= chunk;
  }
  return uint32_t(crc) ^ 0xFFFFFFFFu;
}

// ---------------------------------------------------------------- zlib

namespace {

// Inflates the rest of the stream into `dst`; the bytes produced, or nothing
// when the data is damaged, ends early, or holds more than `room` bytes.
std::optional<size_t> InflateSpan(z_stream& z, uint8_t* dst, size_t room) {
  size_t produced = 0;
  uint8_t spare;
  for (;;) {
    // Once `dst` is full, one spare byte tells an exact end from a longer stream.
    const bool full = produced == room;
    z.next_out = full ? &spare : dst + produced;
    z.avail_out = full ? 1 : uInt(std::min<size_t>(room - produced, 1u << 30));
    const uInt before = z.avail_out;
    const int rc = inflate(&z, Z_NO_FLUSH);
    const size_t got = before - z.avail_out;
    if (full && got) return std::nullopt;
    produced += got;
    if (rc == Z_STREAM_END) return produced;
    if (rc != Z_OK) return std::nullopt;  // damaged, or the input ended first
  }
}

struct RInflater {
  z_stream z{};
  RInflater(const uint8_t* src, size_t n) {
    if (g_inflateObserver) g_inflateObserver(src, n);
    if (inflateInit(&z) != Z_OK) throw CStreamError("inflate failed to start");
    z.next_in = const_cast<Bytef*>(src);
    z.avail_in = uInt(n);
  }
  ~RInflater() { inflateEnd(&z); }
};

}  // namespace

bool Stream_InflateInto(const uint8_t* src, size_t n, uint8_t* dst, size_t size) {
  RInflater in(src, n);
  return InflateSpan(in.z, dst, size) == size;
}

std::vector<uint8_t> Stream_Inflate(const uint8_t* src, size_t n, size_t limit) {
  RInflater in(src, n);
  // Inflated a piece at a time into one cache-warm buffer and appended: the
  // result is never zero-filled, and starts at the compressed size (what
  // stored data such as sounds inflates to) rather than a large guess.
  constexpr size_t kPiece = size_t(256) << 10;
  thread_local std::vector<uint8_t> piece(kPiece);
  std::vector<uint8_t> out;
  out.reserve(std::min(n, limit));
  for (;;) {
    in.z.next_out = piece.data();
    in.z.avail_out = uInt(kPiece);
    const int rc = inflate(&in.z, Z_NO_FLUSH);
    const size_t produced = kPiece - in.z.avail_out;
    if (produced > limit - out.size()) throw CStreamError("compressed data is damaged");
    out.insert(out.end(), piece.data(), piece.data() + produced);
    if (rc == Z_STREAM_END) return out;
    if ((rc != Z_OK && rc != Z_BUF_ERROR) || produced == 0) throw CStreamError("compressed data is damaged");
  }
}

std::vector<uint8_t> Stream_Deflate(const uint8_t* src, size_t n) {
  uLongf bound = compressBound(uLong(n));
  std::vector<uint8_t> out(bound);
  if (compress2(out.data(), &bound, src, uLong(n), Z_DEFAULT_COMPRESSION) != Z_OK)
    throw CStreamError("deflate failed");
  out.resize(bound);
  return out;
}

}  // namespace tavrin
