# Flags every target of the project shares: warnings as errors, sanitizers, MinGW's static runtime.
add_library(project_options INTERFACE)
target_compile_options(project_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Werror)
target_include_directories(project_options INTERFACE ${PROJECT_SOURCE_DIR})

if(AICP_SANITIZE)
    set(AICP_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(project_options INTERFACE ${AICP_SAN_FLAGS})
    target_link_options(project_options INTERFACE ${AICP_SAN_FLAGS})
endif()

if(AICP_FUZZ)
    # Coverage for libFuzzer in every library; the fuzzer programs add -fsanitize=fuzzer.
    target_compile_options(project_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

if(MINGW)
    target_link_options(project_options INTERFACE -static -static-libgcc -static-libstdc++
                        $<$<CONFIG:Release>:-s>)
endif()

# What the program's own code (platform, profiles, panel, app) is built with, on top of the
# above. It throws no exceptions and asks for no type information, so it is built without either,
# and the Windows program carries neither the unwinder nor the C++ library parts that need it.
# Test code keeps its own flags.
add_library(product_options INTERFACE)
target_compile_options(product_options INTERFACE -fno-exceptions -fno-rtti)
if(MINGW)
    # The shipped program is small: optimised for size, with each function and object in a
    # section of its own so that the linker drops the unused ones, no unwind tables, and the C
    # runtime's own printf (msvcrt's) instead of MinGW's larger one.
    target_compile_options(product_options INTERFACE
        $<$<CONFIG:Release>:-Os> -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables
        -D__USE_MINGW_ANSI_STDIO=0 -include stdio.h
        )
    target_link_options(product_options INTERFACE -Wl,--gc-sections)
endif()

# add_project_test(name SOURCES... LIBS...): one GoogleTest executable, registered with CTest.
function(add_project_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE project_options GTest::gtest_main ${T_LIBS})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
