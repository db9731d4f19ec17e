// Showing the message dialog: as a modal window on a desktop, or, in
// headless runs and runs without windows, answered from the answers file
// (platform/Platform_Answers.h). The game's input state is the caller's to
// clear.
#pragma once

#include "windows/Message_Dialog.h"

namespace tavrin {

void Message_RunModal(CMessageDialog& dialog);

}  // namespace tavrin
