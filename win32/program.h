// The Windows program: the window "Pro Tagwright" and its message loop, until the window is
// closed or the Close button ends the program. beforeShow, when given, sees the window
// once it is made and before it is first shown (the startup benchmark's probe).
#pragma once

#include <windows.h>

namespace win32 {

int runProgram(int showCommand, void (*beforeShow)(HWND window) = nullptr);

} // namespace win32
