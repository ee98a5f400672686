// UTF-8 (the core's texts) to UTF-16 (the W functions) and back: the one
// place where texts cross the Win32 boundary.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quorvel::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
std::wstring window_text(HWND window);

}  // namespace quorvel::win32
