#pragma once
// The one header through which app/, panel/ and profiles/ reach the platform: the real Win32 API
// on Windows, the project's own subset of it (same names, types and values) elsewhere.

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#else
#include "platform/own/win32.h"
#endif

// The character that ends the folder part of the program's path.
#ifdef _WIN32
inline constexpr char kModulePathSeparator = '\\';
#else
inline constexpr char kModulePathSeparator = '/';
#endif

// Pushes the bytes already handed to the system for this file down to the disk
// (fsync, FlushFileBuffers). True on success.
bool FlushFileToDisk(std::FILE* file);
