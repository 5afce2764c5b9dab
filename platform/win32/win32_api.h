#pragma once
// The Windows headers, without the generic-text macros that would rename the
// seam's operations (FormatMessage, FindFirstFile, ...): the code names every
// A or W form explicitly.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winver.h>

#undef ExpandEnvironmentStrings
#undef FindFirstFile
#undef FormatMessage
#undef GetFileVersionInfo
#undef GetFileVersionInfoSize
#undef GetModuleFileNameEx
#undef QueryFullProcessImageName
#undef VerQueryValue
