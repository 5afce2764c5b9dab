#pragma once
// Conversions between the narrow ANSI texts of the program and the UTF-16
// texts some services and controls take, and UTF-8 for what leaves as JSON.

#include <cstddef>
#include <string>

namespace proclens::win32 {

// WideCharToMultiByte with the ANSI code page of the thread's locale.
std::string NarrowFromWide(const wchar_t* text, std::size_t length);
std::string NarrowFromWide(const std::wstring& text);

// MultiByteToWideChar with the system's ANSI code page.
std::wstring WideFromNarrow(const std::string& text);

// WideCharToMultiByte to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(const std::wstring& text);

}  // namespace proclens::win32
