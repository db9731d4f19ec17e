// The file and folder choosers of get_open_filename, get_save_filename,
// get_directory and get_directory_alt: one window that lists a folder (its
// sub-folders first, then the files the chosen filter lets through), a
// field for the file name, the filters to pick from, and OK and Cancel.
//
// Everything works from the keyboard: Tab and Shift+Tab move through the
// list, the name, the filters and the buttons; in the list the arrow, page,
// Home and End keys move, a letter goes to the next entry that begins with
// it, Enter opens a folder or takes a file, Backspace goes up a folder; a
// name typed with Enter is taken (or opened, when it names a folder); the
// arrow keys change the filter; Escape cancels. The folder choosers take the
// folder the list shows: open one with Enter or a double click, then OK.
//
// The chooser is a model (the folder and filter in, keys, text and clicks
// in, the path or "cancelled" out) that paints itself; Modal_Run shows it.
// It never changes the process's working folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "windows/Dialog_Field.h"
#include "windows/Dialog_Paint.h"
#include "windows/Modal_Window.h"

namespace tavrin {

enum class EChooserKind { Open, Save, Folder, FolderTree };

// One choice of the filter: "Pictures|*.png;*.bmp|All files|*.*" gives two.
struct RFileFilter {
  std::string description;
  std::vector<std::string> masks;  // matched by Name_MatchesMask
};
// The pairs of description and masks between "|"; a description without
// masks at the end is left out. An empty text gives no filters (every file
// shows).
std::vector<RFileFilter> Chooser_ParseFilter(std::string_view filter);

struct RChooserSetup {
  EChooserKind kind = EChooserKind::Open;
  std::string text;                // get_directory_alt's caption, above the list
  std::string filter;              // Open and Save
  std::string name;                // the suggested file name
  std::filesystem::path folder;    // where the list starts (absolute)
  std::filesystem::path root;      // FolderTree: the top, which the list never leaves
};

class CFileChooser final : public IModalWindow {
 public:
  enum EFocus { kList, kName, kType, kOk, kCancel, kFocusCount };
  struct REntry {
    std::string name;  // ".." is the folder above
    bool folder = false;
  };
  static constexpr int kWidth = 480, kHeight = 366;

  explicit CFileChooser(RChooserSetup setup);

  void Event(const RPlatformEvent& e) override;
  bool Done() const override { return m_done; }
  // The chosen path (a folder without a trailing "/"), "" when cancelled.
  const std::string& Result() const { return m_result; }

  const std::filesystem::path& Folder() const { return m_folder; }
  const std::vector<REntry>& Entries() const { return m_entries; }
  int Highlighted() const { return m_highlight; }  // -1: none
  const std::string& Name() const { return m_name.Text(); }
  int FilterIndex() const { return m_filter; }
  int Focus() const { return m_focus; }
  // Why the last name typed was not taken ("" when nothing went wrong).
  const std::string& Status() const { return m_status; }

  // "cancel" or "escape"; "file: NAME" for the file choosers, "folder:
  // NAME" for the folder ones (relative to the working folder, or whole);
  // "ok" or "default" as OK is pressed at once. No answer: OK at once, or
  // cancelled when OK would take nothing.
  std::string Answer(const std::string* answer) override;
  std::string Description() const override;
  RModalRecord Record() const override;

  int Width() override { return kWidth; }
  int Height() override { return kHeight; }
  RPaintRect ListRect() const;
  int RowHeight() const { return m_rowH; }
  int VisibleRows() const;
  int FirstRow() const { return m_top; }
  RPaintRect ButtonRect(EFocus button) const;
  RPaintRect FieldRect(EFocus field) const;
  TBitmap32 Paint() override;

 private:
  bool FileMode() const { return m_kind == EChooserKind::Open || m_kind == EChooserKind::Save; }
  bool Shows(int focus) const;  // the name and the filters only in file choosers
  void Open(const std::filesystem::path& folder);
  void Highlight(int index);
  void Activate(int index);     // Enter or a double click on an entry
  // A name given for the file: "" when taken (or a folder was opened), else
  // why not.
  std::string Take(const std::string& typed);
  void PressOk();
  void Finish(std::string result);

  EChooserKind m_kind;
  std::string m_text;
  std::vector<RFileFilter> m_filters;
  int m_filter = 0;
  std::filesystem::path m_folder, m_root;
  std::vector<REntry> m_entries;
  int m_highlight = -1, m_top = 0;
  CTextField m_name;
  int m_focus = kList;
  RModifierKeys m_keys;
  RPaintFont m_font;
  int m_rowH = 16;
  int m_inside = -1, m_down = -1;  // buttons under the mouse, pressed with it
  std::string m_status;
  bool m_done = false;
  std::string m_result;
};

}  // namespace tavrin
