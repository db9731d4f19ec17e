// Binary and text files a game opens by number.
//
// Binary files: 32 slots of plain bytes, each open for reading, writing or
// both. Text files: 32 slots, each open for reading or for writing, plus the
// single text file of the older functions that take no number. Text files
// hold 8-bit text in the system code page, lines ended by CR LF; reading
// takes CR LF, LF or a lone CR as a line end, since games read files written
// anywhere.
//
// A text file open for reading is read whole when it opens and served from
// memory; one open for writing is flushed after every write, so a game that
// ends abruptly leaves whole lines behind.
#include "functions/Function_File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "functions/Support_CodePage.h"
#include "package/Support_Path.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"

namespace tavrin {

namespace {

constexpr int kSlots = 32;

enum ETextMode : int { kClosed = 0, kReading = 1, kWriting = 2 };

struct RTextSlot {
  ETextMode mode = kClosed;
  std::string bytes;  // reading: the whole file
  size_t pos = 0;
  FILE* out = nullptr;  // writing
};

// Every open file of the game. Slots stay open across rooms and restarts until
// the game closes them.
struct RFileState {
  std::array<int, kSlots + 1> bin;  // descriptors; -1 closed; slot 0 unused
  std::array<RTextSlot, kSlots + 1> text;  // slot 0 is the single text file
  RFileState() { bin.fill(-1); }
  void Reset() {
    for (int& fd : bin)
      if (fd >= 0) ::close(std::exchange(fd, -1));
    for (RTextSlot& t : text) {
      if (t.out) std::fclose(t.out);
      t = RTextSlot{};
    }
  }
};
RFileState g_Files;

void Fail(const char* message) { Error_ReportAction(message, false); }

// The slot number of argument `v` when it lies in 1-32, else 0.
int SlotNumber(const RValue& v) {
  const int64_t n = Real_ToInt64(v.AsReal());
  return n >= 1 && n <= kSlots ? int(n) : 0;
}

// ---------------------------------------------------------------- binary files

int OpenBinary(std::string_view name, int64_t mode) {
  // Mode 0 reads; a missing file is still created (games test its size), so
  // secure mode treats that creation as the write it is.
  const std::string path = Path_FromGame(name);
  struct stat st;
  const bool exists = !path.empty() && ::stat(path.c_str(), &st) == 0;
  if (Path_SecureRefuses(name) && (mode != 0 || !exists)) {
    Error_ReportAction("In secure mode you cannot write file " + std::string(name), false);
    return -1;
  }
  int slot = 1;
  while (slot <= kSlots && g_Files.bin[size_t(slot)] >= 0) ++slot;
  if (slot > kSlots) {
    Fail("Cannot open another file (maximum exceeded).");
    return -1;
  }
  int fd = -1;
  if (!path.empty() && (!exists || S_ISREG(st.st_mode))) {
    const int flags = mode == 0 ? O_RDONLY : mode == 1 ? O_WRONLY : O_RDWR;
    fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      if (fd >= 0 && mode != 2) {
        ::close(fd);
        fd = ::open(path.c_str(), flags | O_CLOEXEC);
      }
    }
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) ::close(std::exchange(fd, -1));
  }
  if (fd < 0) {
    Fail("Error opening binary file.");
    return -1;
  }
  g_Files.bin[size_t(slot)] = fd;
  return slot;
}

// The descriptor of an open binary slot, or -1 after reporting `message`.
int BinaryFile(const RValue& v, const char* message) {
  const int slot = SlotNumber(v);
  if (slot == 0 || g_Files.bin[size_t(slot)] < 0) {
    Fail(message);
    return -1;
  }
  return g_Files.bin[size_t(slot)];
}

FUNCTION_ROUTINE(F_BinOpen) { result.SetReal(OpenBinary(a[0].AsText(), Real_ToInt64(a[1].AsReal()))); }

FUNCTION_ROUTINE(F_BinRewrite) {
  const int fd = BinaryFile(a[0], "Trying to rewrite unopened file.");
  if (fd >= 0 && (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0)) Fail("Error rewriting file.");
}

FUNCTION_ROUTINE(F_BinClose) {
  const int slot = SlotNumber(a[0]);
  if (slot == 0 || g_Files.bin[size_t(slot)] < 0) return Fail("Trying to close unopened file.");
  if (::close(std::exchange(g_Files.bin[size_t(slot)], -1)) != 0) Fail("Error closing file.");
}

FUNCTION_ROUTINE(F_BinPosition) {
  const int fd = BinaryFile(a[0], "File is not opened.");
  if (fd < 0) return;
  const off_t pos = ::lseek(fd, 0, SEEK_CUR);
  if (pos < 0) return Fail("Error retrieving file size.");
  result.SetReal(double(pos));
}

FUNCTION_ROUTINE(F_BinSize) {
  const int fd = BinaryFile(a[0], "File is not opened.");
  if (fd < 0) return;
  struct stat st;
  if (::fstat(fd, &st) != 0) return Fail("Error retrieving file size.");
  result.SetReal(double(st.st_size));
}

FUNCTION_ROUTINE(F_BinSeek) {
  const int fd = BinaryFile(a[0], "File is not opened.");
  if (fd < 0) return;
  const int64_t pos = Real_ToInt64(a[1].AsReal());
  if (pos < 0 || ::lseek(fd, off_t(pos), SEEK_SET) < 0) Fail("Error seeking.");
}

FUNCTION_ROUTINE(F_BinReadByte) {
  const int fd = BinaryFile(a[0], "File is not opened.");
  if (fd < 0) return;
  unsigned char byte = 0;
  ssize_t got;
  do got = ::read(fd, &byte, 1);
  while (got < 0 && errno == EINTR);
  if (got != 1) return Fail("Error reading byte.");
  result.SetReal(byte);
}

FUNCTION_ROUTINE(F_BinWriteByte) {
  const int fd = BinaryFile(a[0], "File is not opened.");
  if (fd < 0) return;
  const auto byte = static_cast<unsigned char>(Real_ToInt64(a[1].AsReal()) & 0xFF);
  ssize_t put;
  do put = ::write(fd, &byte, 1);
  while (put < 0 && errno == EINTR);
  if (put != 1) Fail("Error writing byte.");
}

// ---------------------------------------------------------------- text files

void CloseText(RTextSlot& t) {
  bool ok = true;
  if (t.out) ok = std::fclose(t.out) == 0;
  t = RTextSlot{};
  if (!ok) Fail("Error closing file.");
}

bool ReadWhole(const std::string& path, std::string& bytes) {
  FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buffer[64 * 1024];
  bytes.clear();
  bool ok = true;
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, got);
  ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

// Only plain files are opened: a device or a pipe named by a game could
// block the game or feed it bytes without end.
bool IsFile(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Opens `t` for reading, setting `result` to `slot`. A file that exists but
// cannot be read is reported; a missing file opens nothing and says nothing.
void OpenTextRead(RTextSlot& t, std::string_view name, int slot, RValue& result) {
  const std::string path = Path_FromGame(name);
  if (!IsFile(path)) return;
  std::string bytes;
  if (!ReadWhole(path, bytes)) return Fail("Error opening file for reading.");
  t.mode = kReading;
  t.bytes = std::move(bytes);
  t.pos = 0;
  result.SetReal(slot);
}

void OpenTextWrite(RTextSlot& t, std::string_view name, bool append, int slot, RValue& result) {
  if (Path_SecureRefuses(name)) {
    return Error_ReportAction((append ? "In secure mode you cannot append to file " : "In secure mode you cannot write file ") +
                                  std::string(name),
                              false);
  }
  const std::string path = Path_FromGame(name);
  FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), append ? "ab" : "wb");
  if (!f) return Fail(append ? "Error opening file for appending." : "Error opening file for writing.");
  t.mode = kWriting;
  t.out = f;
  result.SetReal(slot);
}

// The lowest free text slot 1-32, or 0 after the message.
int FreeTextSlot() {
  for (int slot = 1; slot <= kSlots; ++slot)
    if (g_Files.text[size_t(slot)].mode == kClosed) return slot;
  Fail("Cannot open another file (maximum exceeded).");
  return 0;
}

FUNCTION_ROUTINE(F_TextOpenRead) {
  result.SetReal(-1);
  if (const int slot = FreeTextSlot()) OpenTextRead(g_Files.text[size_t(slot)], a[0].AsText(), slot, result);
}
FUNCTION_ROUTINE(F_TextOpenWrite) {
  result.SetReal(-1);
  if (const int slot = FreeTextSlot()) OpenTextWrite(g_Files.text[size_t(slot)], a[0].AsText(), false, slot, result);
}
FUNCTION_ROUTINE(F_TextOpenAppend) {
  result.SetReal(-1);
  if (const int slot = FreeTextSlot()) OpenTextWrite(g_Files.text[size_t(slot)], a[0].AsText(), true, slot, result);
}
FUNCTION_ROUTINE(F_TextClose) {
  const int slot = SlotNumber(a[0]);
  if (slot == 0) return Fail("Trying to close unexisting text file.");
  CloseText(g_Files.text[size_t(slot)]);
}

// The slot of argument `v` in `mode`, or nullptr after `message`.
RTextSlot* TextFile(const RValue& v, ETextMode mode, const char* message) {
  const int slot = SlotNumber(v);
  if (slot == 0 || g_Files.text[size_t(slot)].mode != mode) {
    Fail(message);
    return nullptr;
  }
  return &g_Files.text[size_t(slot)];
}
// The single text file in `mode`, or nullptr after `message`.
RTextSlot* SingleFile(ETextMode mode, const char* message) {
  if (g_Files.text[0].mode != mode) {
    Fail(message);
    return nullptr;
  }
  return &g_Files.text[0];
}

bool AtLineEnd(const RTextSlot& t) { return t.pos >= t.bytes.size() || t.bytes[t.pos] == '\r' || t.bytes[t.pos] == '\n'; }

std::string ReadString(RTextSlot& t) {
  const size_t start = t.pos;
  while (!AtLineEnd(t)) ++t.pos;
  return CodePage_ToUtf8(std::string_view(t.bytes).substr(start, t.pos - start));
}

// Moves past the line end: CR LF, LF or a lone CR.
void ReadLine(RTextSlot& t) {
  while (!AtLineEnd(t)) ++t.pos;
  if (t.pos >= t.bytes.size()) return;
  if (t.bytes[t.pos++] == '\r' && t.pos < t.bytes.size() && t.bytes[t.pos] == '\n') ++t.pos;
}

// A number read from the current position, stopping at a line end without
// taking it. `loose` (the single text file) skips blanks and tabs anywhere
// and takes "-" anywhere before the number ends; otherwise blanks count only
// before the digits and "-" only before the first digit.
double ReadReal(RTextSlot& t, bool loose) {
  double value = 0, sign = 1, scale = 1;
  bool digit = false, point = false;
  while (!AtLineEnd(t)) {
    const char c = t.bytes[t.pos++];
    if ((c == ' ' || c == '\t') && (loose || !digit)) continue;
    if (c == '-' && (loose || !digit)) {
      sign = -1;
    } else if (c >= '0' && c <= '9') {
      if (point) {
        scale /= 10;
        value += (c - '0') * scale;
      } else {
        value = value * 10 + (c - '0');
      }
      digit = true;
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
      digit = false;
    } else {
      break;
    }
  }
  return sign * value;
}

// A blank, the sign, the integer part, and six decimals cut (not rounded)
// when they are not all zero. The decimals are those of the number's decimal
// text: 2.3 is " 2.300000", although its binary fraction lies a hair below .3.
std::string RealText(double v) {
  std::string text = " ";
  if (std::isnan(v) || std::isinf(v)) return text + (std::isnan(v) ? "nan" : v < 0 ? "-inf" : "inf");
  if (v < 0) text += '-';
  const double a = std::fabs(v);
  double whole = std::floor(a);
  // The tolerance covers the rounding error of the subtraction, no more.
  double sixths = std::floor((a - whole) * 1e6 + 1e-7 + a * 1e-9);
  if (sixths >= 1e6) {
    whole += 1;
    sixths = 0;
  }
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.0f", whole);
  text += buffer;
  if (sixths > 0) {
    std::snprintf(buffer, sizeof buffer, ".%06d", int(sixths));
    text += buffer;
  }
  return text;
}

void Write(RTextSlot& t, std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), t.out) != bytes.size() || std::fflush(t.out) != 0)
    Fail("Error writing file.");
}

FUNCTION_ROUTINE(F_TextReadString) {
  result.SetString(RString());
  if (RTextSlot* t = TextFile(a[0], kReading, "File is not opened for reading.")) result.SetString(RString(ReadString(*t)));
}
FUNCTION_ROUTINE(F_TextReadReal) {
  if (RTextSlot* t = TextFile(a[0], kReading, "File is not opened for reading.")) result.SetReal(ReadReal(*t, false));
}
FUNCTION_ROUTINE(F_TextReadln) {
  if (RTextSlot* t = TextFile(a[0], kReading, "File is not opened for reading.")) ReadLine(*t);
}
FUNCTION_ROUTINE(F_TextEof) {
  if (RTextSlot* t = TextFile(a[0], kReading, "File is not opened for reading.")) result.SetReal(t->pos >= t->bytes.size());
}
FUNCTION_ROUTINE(F_TextEoln) {
  if (RTextSlot* t = TextFile(a[0], kReading, "File is not opened for reading.")) result.SetReal(AtLineEnd(*t));
}
FUNCTION_ROUTINE(F_TextWriteString) {
  if (RTextSlot* t = TextFile(a[0], kWriting, "File not opened for writing.")) Write(*t, CodePage_FromUtf8(a[1].AsText()));
}
FUNCTION_ROUTINE(F_TextWriteReal) {
  if (RTextSlot* t = TextFile(a[0], kWriting, "File not opened for writing.")) Write(*t, RealText(a[1].AsReal()));
}
FUNCTION_ROUTINE(F_TextWriteln) {
  if (RTextSlot* t = TextFile(a[0], kWriting, "File not opened for writing.")) Write(*t, "\r\n");
}

// The single text file: opening closes what it held.
FUNCTION_ROUTINE(F_OpenRead) {
  CloseText(g_Files.text[0]);
  RValue ignored;
  OpenTextRead(g_Files.text[0], a[0].AsText(), 0, ignored);
}
FUNCTION_ROUTINE(F_OpenWrite) {
  CloseText(g_Files.text[0]);
  RValue ignored;
  OpenTextWrite(g_Files.text[0], a[0].AsText(), false, 0, ignored);
}
FUNCTION_ROUTINE(F_OpenAppend) {
  CloseText(g_Files.text[0]);
  RValue ignored;
  OpenTextWrite(g_Files.text[0], a[0].AsText(), true, 0, ignored);
}
FUNCTION_ROUTINE(F_Close) { CloseText(g_Files.text[0]); }
FUNCTION_ROUTINE(F_ReadString) {
  result.SetString(RString());
  if (RTextSlot* t = SingleFile(kReading, "File not opened for reading.")) result.SetString(RString(ReadString(*t)));
}
FUNCTION_ROUTINE(F_ReadReal) {
  if (RTextSlot* t = SingleFile(kReading, "File not opened for reading.")) result.SetReal(ReadReal(*t, true));
}
FUNCTION_ROUTINE(F_Readln) {
  if (RTextSlot* t = SingleFile(kReading, "File not opened for reading.")) ReadLine(*t);
}
FUNCTION_ROUTINE(F_Eof) {
  if (RTextSlot* t = SingleFile(kReading, "File is not opened for reading.")) result.SetReal(t->pos >= t->bytes.size());
}
FUNCTION_ROUTINE(F_Eoln) {
  if (RTextSlot* t = SingleFile(kReading, "File is not opened for reading.")) result.SetReal(AtLineEnd(*t));
}
FUNCTION_ROUTINE(F_WriteString) {
  if (RTextSlot* t = SingleFile(kWriting, "File not opened for writing.")) Write(*t, CodePage_FromUtf8(a[0].AsText()));
}
FUNCTION_ROUTINE(F_WriteReal) {
  if (RTextSlot* t = SingleFile(kWriting, "File not opened for writing.")) Write(*t, RealText(a[0].AsReal()));
}
FUNCTION_ROUTINE(F_Writeln) {
  if (RTextSlot* t = SingleFile(kWriting, "File not opened for writing.")) Write(*t, "\r\n");
}

constexpr RFunctionRoutine kFileFunctions[] = {
    {"file_bin_open", F_BinOpen},
    {"file_bin_rewrite", F_BinRewrite},
    {"file_bin_close", F_BinClose},
    {"file_bin_position", F_BinPosition},
    {"file_bin_size", F_BinSize},
    {"file_bin_seek", F_BinSeek},
    {"file_bin_read_byte", F_BinReadByte},
    {"file_bin_write_byte", F_BinWriteByte},
    {"file_text_open_read", F_TextOpenRead},
    {"file_text_open_write", F_TextOpenWrite},
    {"file_text_open_append", F_TextOpenAppend},
    {"file_text_close", F_TextClose},
    {"file_text_read_string", F_TextReadString},
    {"file_text_read_real", F_TextReadReal},
    {"file_text_readln", F_TextReadln},
    {"file_text_eof", F_TextEof},
    {"file_text_eoln", F_TextEoln},
    {"file_text_write_string", F_TextWriteString},
    {"file_text_write_real", F_TextWriteReal},
    {"file_text_writeln", F_TextWriteln},
    {"file_open_read", F_OpenRead},
    {"file_open_write", F_OpenWrite},
    {"file_open_append", F_OpenAppend},
    {"file_close", F_Close},
    {"file_read_string", F_ReadString},
    {"file_read_real", F_ReadReal},
    {"file_readln", F_Readln},
    {"file_eof", F_Eof},
    {"file_eoln", F_Eoln},
    {"file_write_string", F_WriteString},
    {"file_write_real", F_WriteReal},
    {"file_writeln", F_Writeln},
};

}  // namespace

void Function_RegisterFiles() { Function_ImplementTable(kFileFunctions); }

}  // namespace tavrin
