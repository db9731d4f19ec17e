// Requests from outside the game to end it: SIGTERM, SIGINT, SIGHUP and
// SIGQUIT, and the desktop's quit (the window manager, the close button).
//
// A request is only a flag, set from a signal handler or the message pump and
// read by everything that may run for long: the main loop ends the game at
// its next change, running code unwinds at its next loop turn or call, and
// waits return early. The game then ends as its own end would, with its
// room-end and game-end events and the removal of its temporary files.
#pragma once

#include <csignal>

namespace tavrin {

extern volatile std::sig_atomic_t g_QuitRequest;

// Installs the handlers of the quit signals (before the video system starts,
// so that its own handlers stand aside) and ignores SIGPIPE: a closed
// standard output ends the output, never the runner before its clean-up.
void Quit_InstallSignalHandlers();

inline bool Quit_Requested() { return g_QuitRequest != 0; }
inline void Quit_Request() { g_QuitRequest = 1; }
// Taken by the main loop when it turns the request into the end of the game,
// so that the game's end events run; a second request interrupts them too.
inline void Quit_Clear() { g_QuitRequest = 0; }

}  // namespace tavrin
