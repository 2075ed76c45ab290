// gridwright.exe: the windows beside the user's own Word.
#include "winshell/program.h"

#include "automation/com/win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return winshell::runProgram(); }
