// The package container: how a game package sits behind the runner's
// executable (or in a package file of its own), how the runner finds it and
// how it is unscrambled in place. The writing side lives here too, so that
// reader and writer can never disagree.
//
// Layout at the marker offset P:
//   P+0  word A, P+4 word B   marker: (A & 0xFF00FF00) | (B & 0x00FF00FF) == kPackageMarker;
//                             key word K = (A & 0x00FF00FF) | (B & 0xFF00FF00)
//   P+8  word W0              seed of the key text
//   P+12 word W1              checksum (CalcCRC) of the plain payload
//   P+16 version XOR K
//   P+20 payload, to the end of the file, XOR-scrambled word by word
#pragma once

#include <cstdint>
#include <string>

#include "package/Support_Stream.h"

namespace tavrin {

inline constexpr size_t kPackageScanStart = 3800004;
inline constexpr uint32_t kPackageMarker = 0xF7140067u;
// The fixed ends of the text from which the payload key is derived.
inline constexpr char kPackageKeyPrefix[] = "TvR<";
inline constexpr char kPackageKeySuffix[] = ">nR!";

enum class ELocate {
  Ok,
  CannotRead,      // "Error: Cannot read the game file."
  NotValid,        // "Error: Not a valid game file." (no marker, or a damaged payload)
  Corrupted,       // "Failed to load the game data. File seems corrupted."
};

// The message box text of a failed locate (empty for Ok).
const char* Locate_Message(ELocate result);

// Loads `path` into `stream`, finds the marker, restores the version word,
// unscrambles the payload in place and leaves the stream at the version word.
ELocate LocatePackage(const std::string& path, CStream& stream);
// The same for bytes already in `stream`, scanning from `scanStart`.
ELocate Package_Open(CStream& stream, size_t scanStart = kPackageScanStart);
// The marker offset in `bytes` at or after `from`, or -1.
int64_t Package_FindMarker(const uint8_t* bytes, size_t size, size_t from = kPackageScanStart);
// Where a package can begin in `bytes`: the scan start, or, in a Linux
// executable, the end of its own image when that lies further. A package is
// appended behind the runner, so the runner's own code and data are never
// searched: eight bytes of them could match the marker by chance, and a
// runner that took them for a game would refuse to start.
size_t Package_ScanStart(const uint8_t* bytes, size_t size);
// Whether the file at `path` holds a package marker past the scan start (a
// standalone game). The file is mapped, not read.
bool Package_FileHasMarker(const std::string& path);
// Unscrambles the payload behind `base` (= marker + 8) in place; false when the
// checksum of the result does not match.
bool DecryptWad(CStream& stream, size_t base);

// Writes a container at the end of `out` (padding it with zeros up to the scan
// start first, when it is shorter): marker, key words, version and the
// scrambled `payload`. `payload` is the header after its version word.
void Package_WriteContainer(CStream& out, int32_t version, const CStream& payload, CPackRandom& random);

}  // namespace tavrin
