# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64): the same sources,
# for Wine where the kernel runs no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
