#pragma once
// The few non-ASCII constants, in the build's narrow encoding: Windows-1252 bytes
// in the Win32 build, UTF-8 everywhere else.

namespace proclens::narrow {

#if defined(_WIN32)
inline constexpr char kAcuteAccent[] = "\xB4";
inline constexpr char kAUmlaut[] = "\xE4";
inline constexpr char kOUmlaut[] = "\xF6";
inline constexpr char kUUmlaut[] = "\xFC";
inline constexpr char kSharpS[] = "\xDF";
#else
inline constexpr char kAcuteAccent[] = "\xC2\xB4";
inline constexpr char kAUmlaut[] = "\xC3\xA4";
inline constexpr char kOUmlaut[] = "\xC3\xB6";
inline constexpr char kUUmlaut[] = "\xC3\xBC";
inline constexpr char kSharpS[] = "\xC3\x9F";
#endif

}  // namespace proclens::narrow
