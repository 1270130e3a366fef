// Tagwright's Windows program: the window "Pro Tagwright" on Windows' own controls.
#include "win32/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    return win32::runProgram(showCommand);
}
