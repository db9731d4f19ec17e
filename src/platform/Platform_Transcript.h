// The transcript of a run's modal windows (--transcript FILE): every window
// shown or answered, with what it said and how it was answered, so that a
// test can check what a game asked of its player, and a person can read
// what a headless run was told.
//
// Each window is one block of "name: value" lines (an empty value leaves no
// blank after the colon) followed by an empty line:
//
//   window: message dialog
//   caption: Tavrin
//   text: Save the game?\nYour progress is kept.
//   buttons: &Save | Don't save | Cancel
//   answer: Save
//   by: line 3
//
// `text` keeps its line breaks as "\n" (and a backslash as "\\"), so that
// each field stays on one line. `by` is "player" for a window shown on a
// desktop, "line N" for an answer taken from line N of the answers file, and
// "default" for a window that took its default.
#pragma once

#include <string>
#include <vector>

namespace tavrin {

struct RModalRecord {
  std::string kind;     // "message box", "message dialog", "input dialog", "error window", ...
  std::string caption;  // the title bar's text; empty without one
  std::string text;
  std::vector<std::string> buttons;  // the shown ones, in their order
  std::string answer;   // the button, the text typed, the item, as the window names it
  std::string by;       // "player", "line N" or "default"
};

// Starts the transcript in `file` (emptied). False, with the reason, when it
// cannot be written.
bool Transcript_Open(const std::string& file, std::string& error);
void Transcript_Close();
bool Transcript_Active();
// Appends one window's block (nothing while no transcript is open).
void Transcript_Record(const RModalRecord& record);
// How an answer was had, for `by`: the line of the answers file, or
// "default" for none.
std::string Transcript_By(int answersLine);

}  // namespace tavrin
