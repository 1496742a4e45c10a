#pragma once
// Where the running program's file lies, as the system knows it.

#include <string>

// The program file's full path; empty when the system cannot tell.
std::string ProgramFilePath();
