#pragma once
// The project's own subset of the Win32 API: the names, types and numeric values that the
// program uses, with the platform's meaning.

#include <cstdint>

using BOOL = int;
using BYTE = unsigned char;
using WORD = unsigned short;
using DWORD = unsigned int;
using UINT = unsigned int;
using LONG = int;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LPSTR = char*;
using LPCSTR = const char*;

struct OwnWindow;
using HWND = OwnWindow*;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define WINAPI
#define CALLBACK

// Message box styles and results.
constexpr UINT MB_OK = 0x00000000;
constexpr int IDOK = 1;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// File replacement.
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
BOOL MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags);
BOOL DeleteFileA(LPCSTR path);
