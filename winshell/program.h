// The Windows program as a whole: the apartment and the common controls, the Word it drives, the main
// window and the message loop until the program ends.
#pragma once

namespace winshell {

// Starts Word (or WPS Writer), runs the main window's load step and the message loop. Returns the
// process's exit status: 1 when no Word could be started (after saying so), 0 otherwise.
int runProgram();

// Hands the messages of this thread to their windows, with the keyboard navigation of dialogs (Tab,
// arrow keys among option buttons), until the program ends.
int messageLoop();

}  // namespace winshell
