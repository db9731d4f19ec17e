// Showing the runner's modal windows: on a desktop as a window of their own
// (the game's frame stays on screen while they wait), or, in headless runs
// and runs without windows, answered from the answers file
// (platform/Platform_Answers.h). Every window shown or answered is written
// to the transcript. The game's input state is the caller's to clear.
#pragma once

#include "windows/Message_Dialog.h"
#include "windows/Modal_Window.h"

namespace tavrin {

// True when the window was shown on a desktop, false when it was answered
// from the answers file (or took its default).
bool Modal_Run(IModalWindow& window, const RModalLook& look);
void Message_RunModal(CMessageDialog& dialog);

}  // namespace tavrin
