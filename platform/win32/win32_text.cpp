#include "platform/win32/win32_text.h"

#include <climits>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {

namespace {

std::string MultiByteFromWide(unsigned code_page, const wchar_t* text, std::size_t length) {
  if (length == 0 || length > INT_MAX) return {};
  const int wide_length = static_cast<int>(length);
  const int needed =
      WideCharToMultiByte(code_page, 0, text, wide_length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(code_page, 0, text, wide_length, narrow.data(), needed,
                                          nullptr, nullptr);
  narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return narrow;
}

}  // namespace

std::string NarrowFromWide(const wchar_t* text, std::size_t length) {
  return MultiByteFromWide(CP_THREAD_ACP, text, length);
}

std::string Utf8FromWide(const std::wstring& text) {
  return MultiByteFromWide(CP_UTF8, text.data(), text.size());
}

std::string NarrowFromWide(const std::wstring& text) {
  return NarrowFromWide(text.data(), text.size());
}

std::wstring WideFromNarrow(const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int narrow_length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), narrow_length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  const int written =
      MultiByteToWideChar(CP_ACP, 0, text.data(), narrow_length, wide.data(), needed);
  wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return wide;
}

}  // namespace proclens::win32
