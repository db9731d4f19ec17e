#include "windows/File_Chooser.h"

#include <algorithm>
#include <system_error>

#include "package/Support_Path.h"
#include "platform/Platform_File.h"
#include "windows/Dialog_Text.h"

namespace fs = std::filesystem;

namespace tavrin {

namespace {

constexpr int kBackspace = 8, kTab = 9, kEnter = 13, kEscape = 27, kSpace = 32, kPageUp = 33, kPageDown = 34,
              kEnd = 35, kHome = 36, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kUpButton = CFileChooser::kFocusCount;  // the folder-up button takes no keyboard

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The working folder; the root when it has gone (removed while the game ran).
fs::path WorkingFolder() {
  std::error_code ec;
  fs::path folder = fs::current_path(ec);
  return ec ? fs::path("/") : folder;
}

fs::path Whole(const fs::path& p) { return (p.is_absolute() ? p : WorkingFolder() / p).lexically_normal(); }

// A path as games get it: whole, tidied, a folder without a trailing "/".
std::string Shown(const fs::path& p) {
  std::string s = Whole(p).string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// A game's name for a file or folder, relative to `base` unless it is whole.
fs::path Resolve(const std::string& name, const fs::path& base) {
  const bool whole = !name.empty() && (name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':'));
  const std::string path = Path_FromGame(whole ? name : base.string() + "/" + name);
  return path.empty() ? fs::path() : Whole(path);
}

bool Inside(const fs::path& folder, const fs::path& root) {
  const fs::path rel = folder.lexically_relative(root);
  return !rel.empty() && *rel.begin() != "..";
}

}  // namespace

std::vector<RFileFilter> Chooser_ParseFilter(std::string_view filter) {
  std::vector<std::string_view> parts;
  for (size_t start = 0; start <= filter.size();) {
    const size_t end = std::min(filter.find('|', start), filter.size());
    parts.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<RFileFilter> filters;
  if (filter.empty()) return filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    RFileFilter f;
    f.description = std::string(parts[i]);
    for (size_t start = 0; start <= parts[i + 1].size();) {
      const size_t end = std::min(parts[i + 1].find(';', start), parts[i + 1].size());
      const std::string mask = Dialog_Trimmed(parts[i + 1].substr(start, end - start));
      if (!mask.empty()) f.masks.push_back(mask);
      start = end + 1;
    }
    if (f.masks.empty()) f.masks.push_back("*");
    filters.push_back(std::move(f));
  }
  return filters;
}

CFileChooser::CFileChooser(RChooserSetup setup)
    : m_kind(setup.kind), m_text(setup.text), m_filters(Chooser_ParseFilter(setup.filter)) {
  m_font = RPaintFont{"Arial", 12, 0x000000};
  m_rowH = Paint_LineHeight(m_font) + 4;
  m_root = setup.root.empty() ? fs::path("/") : Whole(setup.root);
  fs::path start = setup.folder.empty() ? WorkingFolder() : Whole(setup.folder);
  std::error_code ec;
  if (!fs::is_directory(m_root, ec)) m_root = "/";  // a top that is no folder: the whole machine
  if (!fs::is_directory(start, ec)) start = WorkingFolder();
  if (m_kind == EChooserKind::FolderTree && !Inside(start, m_root)) start = m_root;
  m_name.SetText(setup.name);
  m_name.SelectAll();
  if (FileMode() && !setup.name.empty()) m_focus = kName;
  Open(start);
}

bool CFileChooser::Shows(int focus) const {
  if (focus == kName) return FileMode();
  if (focus == kType) return FileMode() && !m_filters.empty();
  return true;
}

void CFileChooser::Open(const fs::path& folder) {
  if (m_kind == EChooserKind::FolderTree && !Inside(folder, m_root)) return;
  m_folder = folder.lexically_normal();
  m_entries.clear();
  m_status.clear();
  std::vector<REntry> found;
  std::error_code ec;
  for (fs::directory_iterator it(m_folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    REntry e;
    e.name = it->path().filename().string();
    if (e.name.empty() || e.name[0] == '.') continue;  // hidden
    std::error_code kindError;
    e.folder = it->is_directory(kindError);
    if (!e.folder) {
      if (!FileMode()) continue;
      if (!m_filters.empty()) {
        const std::vector<std::string>& masks = m_filters[size_t(m_filter)].masks;
        if (std::none_of(masks.begin(), masks.end(), [&](const std::string& m) { return Name_MatchesMask(e.name, m); }))
          continue;
      }
    }
    found.push_back(std::move(e));
  }
  if (ec) m_status = "This folder cannot be read.";
  std::sort(found.begin(), found.end(), [](const REntry& a, const REntry& b) {
    if (a.folder != b.folder) return a.folder;
    const std::string la = Lower(a.name), lb = Lower(b.name);
    return la != lb ? la < lb : a.name < b.name;
  });
  const bool top = m_folder == m_folder.root_path() || (m_kind == EChooserKind::FolderTree && m_folder == m_root);
  if (!top) m_entries.push_back({"..", true});
  for (REntry& e : found) m_entries.push_back(std::move(e));
  m_highlight = m_entries.empty() ? -1 : 0;
  m_top = 0;
}

int CFileChooser::VisibleRows() const { return std::max((ListRect().h - 4) / m_rowH, 1); }

void CFileChooser::Highlight(int index) {
  if (m_entries.empty()) return;
  m_highlight = std::clamp(index, 0, int(m_entries.size()) - 1);
  if (m_highlight < m_top) m_top = m_highlight;
  if (m_highlight >= m_top + VisibleRows()) m_top = m_highlight - VisibleRows() + 1;
  const REntry& e = m_entries[size_t(m_highlight)];
  if (FileMode() && !e.folder) m_name.SetText(e.name);
}

void CFileChooser::Activate(int index) {
  if (index < 0 || index >= int(m_entries.size())) return;
  const REntry e = m_entries[size_t(index)];
  if (!e.folder) {
    m_status = Take(e.name);
    return;
  }
  Open(e.name == ".." ? m_folder.parent_path() : m_folder / e.name);
}

std::string CFileChooser::Take(const std::string& typed) {
  const std::string name = Dialog_Trimmed(typed);
  if (name.empty()) return "Type a file name, or pick one from the list.";
  const fs::path path = Resolve(name, m_folder);
  std::error_code ec;
  if (path.empty()) return "\"" + name + "\" is not a name of this machine.";
  if (fs::is_directory(path, ec)) {
    Open(path);
    m_name.SetText("");
    return m_status;  // what the folder's listing said, if anything
  }
  if (m_kind == EChooserKind::Open && !fs::is_regular_file(path, ec)) return "File not found: " + name;
  if (m_kind == EChooserKind::Save && (name.back() == '/' || name.back() == '\\' || !fs::is_directory(path.parent_path(), ec)))
    return "Folder not found: " + Shown(path.parent_path());
  Finish(Shown(path));
  return {};
}

void CFileChooser::PressOk() {
  if (!FileMode()) return Finish(Shown(m_folder));
  m_status = Take(m_name.Text());
}

void CFileChooser::Finish(std::string result) {
  m_done = true;
  m_result = std::move(result);
}

void CFileChooser::Event(const RPlatformEvent& e) {
  if (m_done) return;
  m_keys.Track(e);
  switch (e.type) {
    case RPlatformEvent::KeyDown: {
      if (e.key == kEscape) return Finish("");
      if (e.key == kTab) {
        do m_focus = (m_focus + (m_keys.shift ? kFocusCount - 1 : 1)) % kFocusCount;
        while (!Shows(m_focus));
        if (m_focus == kName) m_name.SelectAll();
        return;
      }
      // Alt with the underlined letter of Open or Save.
      if (m_keys.alt && FileMode() && e.key == (m_kind == EChooserKind::Open ? 'O' : 'S')) return PressOk();
      if (m_focus == kOk && (e.key == kEnter || e.key == kSpace)) return PressOk();
      if (m_focus == kCancel && (e.key == kEnter || e.key == kSpace)) return Finish("");
      if (m_focus == kList) {
        const int page = VisibleRows();
        switch (e.key) {
          case kUp: return Highlight(m_highlight - 1);
          case kDown: return Highlight(m_highlight + 1);
          case kPageUp: return Highlight(m_highlight - page);
          case kPageDown: return Highlight(m_highlight + page);
          case kHome: return Highlight(0);
          case kEnd: return Highlight(int(m_entries.size()) - 1);
          case kBackspace:
            if (!m_entries.empty() && m_entries[0].name == "..") Open(m_folder.parent_path());
            return;
          case kEnter: return m_highlight >= 0 ? Activate(m_highlight) : PressOk();
          default: return;
        }
      }
      if (m_focus == kName) {
        if (e.key == kEnter) return PressOk();
        m_name.KeyDown(e.key, m_keys.shift, m_keys.ctrl);
        return;
      }
      if (m_focus == kType) {
        const int n = int(m_filters.size());
        if (e.key == kEnter) return PressOk();
        if (e.key == kUp || e.key == kLeft || e.key == kDown || e.key == kRight) {
          m_filter = (m_filter + (e.key == kUp || e.key == kLeft ? n - 1 : 1)) % n;
          Open(m_folder);
        }
      }
      return;
    }
    case RPlatformEvent::Text:
      if (m_keys.ctrl || m_keys.alt) return;
      if (m_focus == kName) {
        m_status.clear();
        return m_name.Type(e.text);
      }
      if (m_focus == kList && !e.text.empty() && !m_entries.empty()) {
        // The next entry after the highlighted one that begins with the letter.
        const char c = char(std::tolower(static_cast<unsigned char>(e.text[0])));
        const int n = int(m_entries.size());
        for (int k = 1; k <= n; ++k) {
          const int i = (m_highlight + k) % n;
          if (char(std::tolower(static_cast<unsigned char>(m_entries[size_t(i)].name[0]))) == c) return Highlight(i);
        }
      }
      return;
    case RPlatformEvent::MouseWheel: {
      const int most = std::max(int(m_entries.size()) - VisibleRows(), 0);
      m_top = std::clamp(m_top - 3 * e.y, 0, most);
      return;
    }
    case RPlatformEvent::MouseMove:
    case RPlatformEvent::MouseDown:
    case RPlatformEvent::MouseUp: {
      m_inside = -1;
      for (int b : {int(kOk), int(kCancel), kUpButton})
        if (ButtonRect(EFocus(b)).Contains(e.x, e.y)) m_inside = b;
      if (e.button != 1) return;
      if (e.type == RPlatformEvent::MouseDown) {
        m_down = m_inside;
        const RPaintRect list = ListRect();
        if (list.Contains(e.x, e.y)) {
          m_focus = kList;
          const int row = m_top + (e.y - list.y - 2) / m_rowH;
          if (row < int(m_entries.size())) {
            Highlight(row);
            if (e.clicks >= 2) Activate(row);
          }
        }
        if (Shows(kName) && FieldRect(kName).Contains(e.x, e.y)) m_focus = kName;
        if (Shows(kType) && FieldRect(kType).Contains(e.x, e.y)) {
          m_focus = kType;
          m_filter = (m_filter + 1) % int(m_filters.size());
          Open(m_folder);
        }
      }
      if (e.type == RPlatformEvent::MouseUp) {
        const int pressed = m_down;
        m_down = -1;
        if (pressed < 0 || pressed != m_inside) return;
        if (pressed == kOk) return PressOk();
        if (pressed == kCancel) return Finish("");
        if (!m_entries.empty() && m_entries[0].name == "..") Open(m_folder.parent_path());
      }
      return;
    }
    case RPlatformEvent::WindowClose: return Finish("");
    default: return;
  }
}

std::string CFileChooser::Description() const {
  switch (m_kind) {
    case EChooserKind::Open: return "the open file chooser";
    case EChooserKind::Save: return "the save file chooser";
    case EChooserKind::Folder: return "the folder chooser";
    default: return "the folder browser \"" + m_text.substr(0, 57) + "\"";
  }
}

std::string CFileChooser::Answer(const std::string* answer) {
  if (!answer) {
    // OK at once; a file chooser with nothing it would take is cancelled.
    if (FileMode()) m_status = Take(m_name.Text());
    else PressOk();
    if (!m_done) Finish("");
    return {};
  }
  const std::string line = Dialog_Trimmed(*answer);
  const std::string lower = Lower(line);
  const std::string choices = FileMode() ? "it takes file: NAME, ok or cancel" : "it takes folder: NAME, ok or cancel";
  if (lower == "cancel" || lower == "escape") {
    Finish("");
    return {};
  }
  if (lower == "ok" || lower == "default") {
    PressOk();
    return m_done ? std::string() : m_status + " (" + choices + ")";
  }
  const std::string word = FileMode() ? "file:" : "folder:";
  if (lower.compare(0, word.size(), word) != 0) return choices;
  const std::string name = Dialog_Trimmed(std::string_view(line).substr(word.size()));
  const fs::path path = Resolve(name, WorkingFolder());
  std::error_code ec;
  if (FileMode()) {
    if (fs::is_directory(path, ec)) return "\"" + name + "\" is a folder (" + choices + ")";
    const std::string why = Take(path.string());
    return why.empty() ? why : why + " (" + choices + ")";
  }
  if (path.empty() || !fs::is_directory(path, ec)) return "there is no folder \"" + name + "\"";
  if (m_kind == EChooserKind::FolderTree && !Inside(path, m_root)) return "\"" + name + "\" is not inside " + Shown(m_root);
  Finish(Shown(path));
  return {};
}

RModalRecord CFileChooser::Record() const {
  static constexpr const char* kKinds[] = {"open file chooser", "save file chooser", "folder chooser", "folder browser"};
  static constexpr const char* kCaptions[] = {"Open", "Save As", "Select Directory", "Browse for Folder"};
  static constexpr const char* kOkLabels[] = {"&Open", "&Save", "OK", "OK"};
  const size_t k = size_t(m_kind);
  RModalRecord r;
  r.kind = kKinds[k];
  r.caption = kCaptions[k];
  r.text = m_text;
  for (const RFileFilter& f : m_filters) {
    r.text += (r.text.empty() ? "" : "\n") + f.description + ": ";
    for (size_t i = 0; i < f.masks.size(); ++i) r.text += (i ? ";" : "") + f.masks[i];
  }
  r.buttons = {kOkLabels[k], "Cancel"};
  if (!m_done) r.answer = "none";
  else if (m_result.empty()) r.answer = "Cancel";
  else r.answer = Dialog_Unmarked(kOkLabels[k]) + (FileMode() ? ", file: " : ", folder: ") + m_result;
  return r;
}

RPaintRect CFileChooser::ListRect() const {
  const int top = m_text.empty() ? 38 : 60;
  return {10, top, kWidth - 20, (FileMode() ? 270 : 326) - top};
}

RPaintRect CFileChooser::ButtonRect(EFocus button) const {
  if (int(button) == kUpButton) return {410, m_text.empty() ? 8 : 30, 60, 22};
  return {button == kOk ? (FileMode() ? 395 : 315) : 395, FileMode() ? (button == kOk ? 279 : 307) : 334, 75, 25};
}

RPaintRect CFileChooser::FieldRect(EFocus field) const { return {100, field == kName ? 280 : 308, 280, 22}; }

TBitmap32 CFileChooser::Paint() {
  TBitmap32 bm(kWidth, kHeight, 0xFFF0F0F0u);
  const RPaintFont& font = m_font;
  const int lineH = Paint_LineHeight(font);
  const int pathY = m_text.empty() ? 8 : 30;
  if (!m_text.empty()) Paint_Text(bm, 10, 8 + (22 - lineH) / 2, kWidth - 10, m_text, font);
  Paint_Text(bm, 10, pathY + (22 - lineH) / 2, 70, "Look in:", font);
  const RPaintRect path{70, pathY, 332, 22};
  Paint_Fill(bm, path, 0xFFFFFFFFu);
  Paint_Frame(bm, path, 0xFF707070u, 0xFFFFFFFFu);
  Paint_Text(bm, path.x + 4, path.y + (22 - lineH) / 2, path.x + path.w - 2, Shown(m_folder), font);
  Paint_Button(bm, ButtonRect(EFocus(kUpButton)), "Up",
               {m_inside == kUpButton, m_down == kUpButton && m_inside == kUpButton, false, false});

  const RPaintRect list = ListRect();
  Paint_Fill(bm, list, 0xFFFFFFFFu);
  Paint_Frame(bm, list, 0xFF707070u, 0xFFFFFFFFu);
  const int rows = VisibleRows();
  const bool scrolls = int(m_entries.size()) > rows;
  const int rowW = list.w - 4 - (scrolls ? 12 : 0);
  for (int i = m_top; i < int(m_entries.size()) && i < m_top + rows; ++i) {
    const REntry& e = m_entries[size_t(i)];
    const int y = list.y + 2 + (i - m_top) * m_rowH;
    RPaintFont rowFont = font;
    if (i == m_highlight) {
      Paint_Fill(bm, {list.x + 2, y, rowW, m_rowH}, m_focus == kList ? 0xFF3370CCu : 0xFFCCD8E8u);
      if (m_focus == kList) rowFont.color = 0xFFFFFF;
    }
    // A folder is a yellow tab; a file a white page.
    if (e.folder) {
      Paint_Fill(bm, {list.x + 6, y + m_rowH / 2 - 4, 14, 9}, 0xFFE8C050u);
      Paint_Frame(bm, {list.x + 6, y + m_rowH / 2 - 4, 14, 9}, 0xFFF4DC90u, 0xFFA08020u);
    } else {
      Paint_Fill(bm, {list.x + 8, y + m_rowH / 2 - 6, 10, 12}, 0xFFFFFFFFu);
      Paint_Frame(bm, {list.x + 8, y + m_rowH / 2 - 6, 10, 12}, 0xFF909090u, 0xFF909090u);
    }
    Paint_Text(bm, list.x + 26, y + 2, list.x + 2 + rowW, e.name, rowFont);
  }
  if (scrolls) {
    const RPaintRect track{list.x + list.w - 14, list.y + 2, 12, list.h - 4};
    Paint_Fill(bm, track, 0xFFE6E6E6u);
    const int n = int(m_entries.size());
    const int thumbH = std::max(track.h * rows / n, 12);
    const int thumbY = track.y + (track.h - thumbH) * m_top / std::max(n - rows, 1);
    Paint_Fill(bm, {track.x + 1, thumbY, track.w - 2, thumbH}, 0xFFA8A8A8u);
  }

  if (FileMode()) {
    Paint_Text(bm, 10, 280 + (22 - lineH) / 2, 98, "File name:", font);
    Paint_Field(bm, FieldRect(kName), m_name, font, 0xFFFFFFFFu, m_focus == kName);
    Paint_Text(bm, 10, 308 + (22 - lineH) / 2, 98, "Files of type:", font);
    const RPaintRect type = FieldRect(kType);
    Paint_Fill(bm, type, 0xFFFFFFFFu);
    Paint_Frame(bm, type, 0xFF707070u, 0xFFFFFFFFu);
    if (m_focus == kType) Paint_Frame(bm, {type.x + 2, type.y + 2, type.w - 4, type.h - 4}, 0xFF404040u, 0xFF404040u);
    const std::string shown = m_filters.empty() ? "All files" : m_filters[size_t(m_filter)].description;
    Paint_Text(bm, type.x + 4, type.y + (22 - lineH) / 2, type.x + type.w - 20, shown, font);
    // A small arrow: the arrow keys change the filter.
    for (int row = 0; row < 4; ++row) Paint_Fill(bm, {type.x + type.w - 15 + row, type.y + 9 + row, 7 - 2 * row, 1}, 0xFF404040u);
  }
  const char* ok = m_kind == EChooserKind::Open ? "&Open" : m_kind == EChooserKind::Save ? "&Save" : "OK";
  Paint_Button(bm, ButtonRect(kOk), ok, {m_inside == kOk, m_down == kOk && m_inside == kOk, true, m_focus == kOk});
  Paint_Button(bm, ButtonRect(kCancel), "Cancel",
               {m_inside == kCancel, m_down == kCancel && m_inside == kCancel, false, m_focus == kCancel});
  if (!m_status.empty()) {
    RPaintFont red = font;
    red.color = 0xC00000;
    Paint_Text(bm, 10, 344, FileMode() ? kWidth - 10 : ButtonRect(kOk).x - 8, m_status, red);
  }
  return bm;
}

}  // namespace tavrin
