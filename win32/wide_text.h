// The handlers speak UTF-8; Windows' W functions speak UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

std::wstring wide(std::string_view text);
std::string narrow(std::wstring_view text);

// A window's whole text, as UTF-8.
std::string windowText(HWND window);

} // namespace win32
