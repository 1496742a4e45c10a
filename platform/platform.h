#pragma once
// The one header through which app/, panel/ and profiles/ reach the platform: the real Win32 API
// on Windows, the project's own subset of it (same names, types and values) elsewhere.

#ifdef _WIN32
#include <windows.h>
// Needs windows.h before it.
#include <commctrl.h>
#else
#include "platform/own/win32.h"
#endif

#include "platform/file_ops.h"

// The character that ends the folder part of the program's path.
#ifdef _WIN32
inline constexpr char kModulePathSeparator = '\\';
#else
inline constexpr char kModulePathSeparator = '/';
#endif
