#include "package/Support_File.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace tavrin {

namespace {

// Little-endian words at any alignment (this runner is built for
// little-endian machines only, which the static_assert below keeps true).
static_assert(std::endian::native == std::endian::little);
uint32_t Word(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
void PutWord(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// The header that follows the marker: A, B, W0, W1, version.
constexpr size_t kContainerHeader = 20;

// CalcCRC of the key text as UTF-16 code units (the text is ASCII, so each
// character is its byte followed by a zero).
uint32_t KeyTextCRC(uint32_t w0) {
  const std::string text = std::string(kPackageKeyPrefix) + std::to_string(w0) + kPackageKeySuffix;
  std::string utf16(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) utf16[2 * i] = text[i];
  return CalcCRC(reinterpret_cast<const uint8_t*>(utf16.data()), int64_t(utf16.size()));
}

// XORs the payload words with the generator's stream; its own inverse. When
// `crcOf` is given, the checksum of the result is taken chunk by chunk right
// behind the unscrambling, while the bytes are still in the cache.
uint32_t ScrambleWords(uint8_t* payload, size_t length, uint32_t w0, uint32_t w1, const bool crcOf = false) {
  uint32_t w = KeyTextCRC(w0);
  uint32_t z = w1;
  uLong crc = crc32(0L, Z_NULL, 0);
  constexpr size_t kChunk = 64 * 1024;
  size_t o = (w & 0xFF) + 6;
  size_t checked = 0;
  while (checked < length) {
    const size_t end = std::min(length, checked + kChunk);
    for (; length >= 5 && o < length - 5 && o + 4 <= end; o += 4) PutWord(payload + o, Word(payload + o) ^ LocalRandom(z, w));
    // Bytes before the next word still to be unscrambled are final.
    const bool moreWords = length >= 5 && o < length - 5;
    const size_t final = moreWords ? std::min(end, o) : end;
    if (crcOf) crc = crc32(crc, payload + checked, uInt(final - checked));
    checked = final;
  }
  return length ? uint32_t(crc) ^ 0xFFFFFFFFu : 0xFFFFFFFFu;
}

}  // namespace

const char* Locate_Message(ELocate result) {
  switch (result) {
    case ELocate::Ok: return "";
    case ELocate::CannotRead: return "Error: Cannot read the game file.";
    case ELocate::NotValid: return "Error: Not a valid game file.";
    case ELocate::Corrupted: return "Failed to load the game data. File seems corrupted.";
  }
  return "";
}

namespace {

// A package stands behind the runner's own executable, never inside it: in
// an ELF executable the scan starts past its section table, which ends the
// file as the linker wrote it. Otherwise the bytes of the runner itself (its
// debugging sections are many megabytes of arbitrary data) could hold the
// marker by chance and make a plain runner take itself for a game.
size_t PastOwnImage(const uint8_t* bytes, size_t size, size_t from) {
  if (size < 64 || std::memcmp(bytes, "\x7F" "ELF", 4) != 0 || bytes[4] != 2 || bytes[5] != 1) return from;
  uint64_t tableAt = 0;
  uint16_t entrySize = 0, entries = 0;
  std::memcpy(&tableAt, bytes + 0x28, 8);
  std::memcpy(&entrySize, bytes + 0x3A, 2);
  std::memcpy(&entries, bytes + 0x3C, 2);
  const uint64_t end = tableAt + uint64_t(entrySize) * entries;
  return end <= size ? std::max(from, size_t(end)) : from;
}

}  // namespace

int64_t Package_FindMarker(const uint8_t* bytes, size_t size, size_t from) {
  from = PastOwnImage(bytes, size, from);
  // The marker fixes four bytes: offset 3 must be 0xF7 (the marker's top
  // byte), so memchr finds the candidates and only those are tested whole.
  // A runner's executable is scanned at every start; this keeps it quick.
  if (size < 8 || from > size - 8) return -1;
  const uint8_t* at = bytes + from + 3;
  const uint8_t* last = bytes + size - 8 + 3;
  while (at <= last) {
    at = static_cast<const uint8_t*>(std::memchr(at, 0xF7, size_t(last - at) + 1));
    if (!at) return -1;
    const size_t p = size_t(at - bytes) - 3;
    const uint32_t a = Word(bytes + p), b = Word(bytes + p + 4);
    if (((a & 0xFF00FF00u) | (b & 0x00FF00FFu)) == kPackageMarker) return int64_t(p);
    ++at;
  }
  return -1;
}

bool Package_FileHasMarker(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool found = false;
  if (::fstat(fd, &st) == 0 && size_t(st.st_size) >= kPackageScanStart + 8) {
    void* map = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      found = Package_FindMarker(static_cast<const uint8_t*>(map), size_t(st.st_size)) >= 0;
      ::munmap(map, size_t(st.st_size));
    }
  }
  ::close(fd);
  return found;
}

bool DecryptWad(CStream& stream, size_t base) {
  uint8_t* d = stream.Data();
  const uint32_t w0 = Word(d + base), w1 = Word(d + base + 4);
  uint8_t* payload = d + base + 12;
  const size_t length = stream.Size() - base - 12;
  return ScrambleWords(payload, length, w0, w1, true) == w1;
}

ELocate LocatePackage(const std::string& path, CStream& stream) {
  if (!stream.LoadFromFile(path)) return ELocate::CannotRead;
  return Package_Open(stream);
}

ELocate Package_Open(CStream& stream, size_t scanStart) {
  const int64_t marker = Package_FindMarker(stream.Data(), stream.Size(), scanStart);
  if (marker < 0) return ELocate::NotValid;
  const size_t p = size_t(marker);
  // A marker too close to the end has no room for the container header.
  if (stream.Size() - p < kContainerHeader) return ELocate::Corrupted;
  uint8_t* d = stream.Data();
  const uint32_t a = Word(d + p), b = Word(d + p + 4);
  const uint32_t key = (a & 0x00FF00FFu) | (b & 0xFF00FF00u);
  PutWord(d + p + 16, Word(d + p + 16) ^ key);
  if (!DecryptWad(stream, p + 8)) return ELocate::NotValid;
  stream.Seek(p + 16);
  return ELocate::Ok;
}

void Package_WriteContainer(CStream& out, int32_t version, const CStream& payload, CPackRandom& random) {
  if (out.Size() < kPackageScanStart) out.Bytes().resize(kPackageScanStart, 0);
  // The runner takes the first marker it meets: an executable that already
  // holds one would hide the new package.
  if (Package_FindMarker(out.Data(), out.Size()) >= 0)
    throw CStreamError("the file already holds a package marker");
  const size_t p = out.Size();
  uint32_t key = random.Next();
  // The marker must also not appear across the seam between the file and the
  // new words; another key word moves it away.
  for (int tries = 0;; ++tries) {
    uint8_t probe[16] = {};
    const size_t keep = std::min<size_t>(p, 8);
    std::memcpy(probe, out.Data() + p - keep, keep);
    PutWord(probe + keep, (kPackageMarker & 0xFF00FF00u) | (key & 0x00FF00FFu));
    PutWord(probe + keep + 4, (kPackageMarker & 0x00FF00FFu) | (key & 0xFF00FF00u));
    if (Package_FindMarker(probe, keep + 8, 0) == int64_t(keep) || tries > 64) break;
    key = random.Next();
  }
  const uint32_t a = (kPackageMarker & 0xFF00FF00u) | (key & 0x00FF00FFu);
  const uint32_t b = (kPackageMarker & 0x00FF00FFu) | (key & 0xFF00FF00u);
  const uint32_t w0 = random.Next();
  const uint32_t w1 = CalcCRC(payload.Data(), int64_t(payload.Size()));

  out.Bytes().resize(p + kContainerHeader + payload.Size());
  uint8_t* d = out.Data();
  PutWord(d + p, a);
  PutWord(d + p + 4, b);
  PutWord(d + p + 8, w0);
  PutWord(d + p + 12, w1);
  PutWord(d + p + 16, uint32_t(version) ^ key);
  if (payload.Size()) std::memcpy(d + p + kContainerHeader, payload.Data(), payload.Size());
  ScrambleWords(d + p + kContainerHeader, payload.Size(), w0, w1);
  out.Seek(out.Size());
}

}  // namespace tavrin
