#pragma once
// The program's message box: the text in a read-only edit control that wraps
// long lines, between words where it can and inside a word (a long address,
// a hash) where it must, and that the user can select and copy; the box is
// never wider than the screen's work area, and a text taller than most of it
// scrolls. The system's own message box grows as wide as the longest word.

#include <string>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {

// Line feeds, carriage returns and pairs of both as the edit control's line
// breaks (each a carriage return and a line feed); the rest unchanged.
std::wstring WithEditLineBreaks(const std::wstring& text);

// The text as the box shows it: a word too long to wrap quickly is cut into
// pieces ended by soft line breaks ("\r\r\n", which the text otherwise never
// holds), and the same text with those breaks taken out, as it is copied.
std::wstring WithSoftBreaks(const std::wstring& text);
std::wstring WithoutSoftBreaks(const std::wstring& shown);

// Shows the text, narrow in the ANSI code page, with one OK button; returns
// when the user has closed the box. Messages of the owner's thread go on
// being handled meanwhile.
void ShowMessageBox(HWND owner, const std::string& caption, const std::string& text);

}  // namespace proclens::win32
