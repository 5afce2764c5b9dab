#pragma once
// Conversions between the narrow ANSI texts of the program and the UTF-16
// texts some services and controls take.

#include <cstddef>
#include <string>

namespace proclens::win32 {

// WideCharToMultiByte with the ANSI code page of the thread's locale.
std::string NarrowFromWide(const wchar_t* text, std::size_t length);
std::string NarrowFromWide(const std::wstring& text);

// MultiByteToWideChar with the system's ANSI code page.
std::wstring WideFromNarrow(const std::string& text);

}  // namespace proclens::win32
