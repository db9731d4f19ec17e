#include "platform/Platform_Settings.h"

#include "platform/Platform_File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace tavrin {

namespace {

constexpr const char* kHeading = "# Tavrin settings store: keys with their values (see docs/settings-store.md)\n";

struct RNamedValue {
  std::string name;
  RSettingValue value;
};
struct RKey {
  std::string path;  // root, "\", names separated by "\"
  std::vector<RNamedValue> values;
};
using TStore = std::vector<RKey>;

// The root and the key's names joined by single "\": "\Software\\Game\" and
// "Software\Game" are the same key.
std::string KeyPath(std::string_view root, std::string_view key) {
  std::string path(root);
  size_t start = 0;
  while (start <= key.size()) {
    size_t end = key.find('\\', start);
    if (end == std::string_view::npos) end = key.size();
    if (end > start) path += "\\" + std::string(key.substr(start, end - start));
    start = end + 1;
  }
  return path;
}

// ---------------------------------------------------------------- the file's text

// A text in double quotes. "%", the quote and control bytes are written as
// "%" and two hexadecimal digits; everything else, backslashes included,
// stands as it is, so a key path reads as it is written.
std::string Quoted(std::string_view s) {
  static const char kHex[] = "0123456789abcdef";
  std::string q = "\"";
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '%' || b < 0x20 || b == 0x7F) {
      q += '%';
      q += kHex[b >> 4];
      q += kHex[b & 15];
    } else {
      q += c;
    }
  }
  return q + "\"";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text at `pos` (after blanks); false when there is none.
bool Unquote(std::string_view line, size_t& pos, std::string& out) {
  while (pos < line.size() && line[pos] == ' ') ++pos;
  if (pos >= line.size() || line[pos] != '"') return false;
  out.clear();
  for (++pos; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c != '%') {
      out += c;
      continue;
    }
    if (pos + 2 >= line.size()) return false;
    const int hi = HexDigit(line[pos + 1]), lo = HexDigit(line[pos + 2]);
    if (hi < 0 || lo < 0) return false;
    out += char(hi * 16 + lo);
    pos += 2;
  }
  return false;
}

std::string Rest(std::string_view line, size_t pos) {
  while (pos < line.size() && line[pos] == ' ') ++pos;
  return std::string(line.substr(pos));
}

// A value line of the key before it; false for a line that is damaged (it is
// then left out, and the rest of the store stays readable).
bool ParseValue(std::string_view line, RNamedValue& v) {
  size_t pos = line.find(' ');
  if (pos == std::string_view::npos) return false;
  const std::string_view type = line.substr(0, pos);
  if (!Unquote(line, pos, v.name)) return false;
  if (type == "text") {
    v.value.type = RSettingValue::Text;
    return Unquote(line, pos, v.value.bytes);
  }
  const std::string rest = Rest(line, pos);
  if (type == "number") {
    char* end = nullptr;
    errno = 0;
    const unsigned long n = std::strtoul(rest.c_str(), &end, 10);
    if (rest.empty() || *end || errno || n > 0xFFFFFFFFul) return false;
    v.value.type = RSettingValue::Number;
    v.value.number = uint32_t(n);
    return true;
  }
  if (type == "binary") {
    if (rest.size() % 2) return false;
    v.value.type = RSettingValue::Binary;
    v.value.bytes.clear();
    for (size_t i = 0; i < rest.size(); i += 2) {
      const int hi = HexDigit(rest[i]), lo = HexDigit(rest[i + 1]);
      if (hi < 0 || lo < 0) return false;
      v.value.bytes += char(hi * 16 + lo);
    }
    return true;
  }
  return false;
}

TStore Parse(std::string_view text) {
  TStore store;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.rfind("key ", 0) == 0) {
      size_t at = 3;
      RKey key;
      if (Unquote(line, at, key.path)) store.push_back(std::move(key));
    } else if (!store.empty() && !line.empty() && line[0] != '#') {
      RNamedValue v;
      if (ParseValue(line, v)) store.back().values.push_back(std::move(v));
    }
  }
  return store;
}

std::string Text(const TStore& store) {
  static const char kHex[] = "0123456789abcdef";
  std::string text = kHeading;
  for (const RKey& key : store) {
    text += "key " + Quoted(key.path) + "\n";
    for (const RNamedValue& v : key.values) {
      switch (v.value.type) {
        case RSettingValue::Text: text += "text " + Quoted(v.name) + " " + Quoted(v.value.bytes) + "\n"; break;
        case RSettingValue::Number: text += "number " + Quoted(v.name) + " " + std::to_string(v.value.number) + "\n"; break;
        case RSettingValue::Binary:
          text += "binary " + Quoted(v.name) + " ";
          for (const char c : v.value.bytes) {
            text += kHex[static_cast<unsigned char>(c) >> 4];
            text += kHex[static_cast<unsigned char>(c) & 15];
          }
          text += "\n";
          break;
      }
    }
  }
  return text;
}

RKey* FindKey(TStore& store, std::string_view path) {
  for (RKey& key : store)
    if (Name_Same(key.path, path)) return &key;
  return nullptr;
}

RKey& MakeKey(TStore& store, const std::string& path) {
  if (RKey* key = FindKey(store, path)) return *key;
  store.push_back({path, {}});
  return store.back();
}

// ---------------------------------------------------------------- the file

std::string StorePath() { return Settings_Folder() + "/settings.txt"; }

bool ReadFile(const std::string& path, std::string& text) {
  text.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return errno == ENOENT;  // no store yet: empty
  char buffer[16384];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, got);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool MakeFolders(const std::string& folder) {
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i < folder.size() && folder[i] != '/') continue;
    const std::string part = folder.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// Reads, changes and writes the store under its lock. `change` returns
// whether it changed anything (nothing is written otherwise).
bool Update(const std::function<bool(TStore&)>& change) {
  const std::string folder = Settings_Folder();
  if (folder.empty() || !MakeFolders(folder)) return false;
  const int lock = ::open((folder + "/settings.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock < 0) return false;
  int locked;
  do locked = ::flock(lock, LOCK_EX);
  while (locked != 0 && errno == EINTR);
  bool ok = locked == 0;
  std::string text;
  ok = ok && ReadFile(StorePath(), text);
  if (ok) {
    TStore store = Parse(text);
    if (change(store)) {
      const std::string written = Text(store);
      ok = File_ReplaceWith(StorePath(), written.data(), written.size());
    }
  }
  ::close(lock);  // releases the lock
  return ok;
}

bool Load(TStore& store) {
  std::string text;
  if (!ReadFile(StorePath(), text)) return false;
  store = Parse(text);
  return true;
}

}  // namespace

std::string Settings_Folder() {
  if (const char* home = std::getenv("TAVRIN_HOME"); home && *home) return home;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) return std::string(config) + "/tavrin";
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config/tavrin";
  return {};
}

bool Settings_Read(std::string_view root, std::string_view key, std::string_view name, RSettingValue& value) {
  TStore store;
  if (!Load(store)) return false;
  const RKey* k = FindKey(store, KeyPath(root, key));
  if (!k) return false;
  for (const RNamedValue& v : k->values) {
    if (Name_Same(v.name, name)) {
      value = v.value;
      return true;
    }
  }
  return false;
}

bool Settings_KeyExists(std::string_view root, std::string_view key) {
  TStore store;
  return Load(store) && FindKey(store, KeyPath(root, key)) != nullptr;
}

bool Settings_Write(std::string_view root, std::string_view key, std::string_view name, const RSettingValue& value) {
  const std::string path = KeyPath(root, key);
  return Update([&](TStore& store) {
    RKey& k = MakeKey(store, path);
    for (RNamedValue& v : k.values) {
      if (Name_Same(v.name, name)) {
        v.value = value;
        return true;
      }
    }
    k.values.push_back({std::string(name), value});
    return true;
  });
}

bool Settings_CreateKey(std::string_view root, std::string_view key) {
  const std::string path = KeyPath(root, key);
  TStore store;
  if (Load(store) && FindKey(store, path)) return true;
  return Update([&](TStore& s) {
    if (FindKey(s, path)) return false;
    MakeKey(s, path);
    return true;
  });
}

}  // namespace tavrin
