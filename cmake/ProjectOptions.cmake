# Flags every target of the project shares: warnings (as errors with AICP_WERROR), sanitizers,
# MinGW's static runtime.
add_library(project_options INTERFACE)
target_compile_options(project_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       $<$<BOOL:${AICP_WERROR}>:-Werror>)
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

# The Windows build makes the shipped program, so it is a Release build unless told otherwise.
if(MINGW AND NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type" FORCE)
endif()

if(MINGW)
    target_link_options(project_options INTERFACE -static -static-libgcc -static-libstdc++
                        $<$<CONFIG:Release>:-s>)
endif()

# What the program's own code (platform, profiles, panel, app) is built with, on top of the
# above. It throws and catches no exceptions, so it is built without them; test code keeps its
# own flags.
add_library(product_options INTERFACE)
target_compile_options(product_options INTERFACE -fno-exceptions)
if(MINGW)
    # The shipped program is small. No type information (on Linux the tests derive from the
    # layer's classes and need it); optimised for size; each function and object in a section of
    # its own, so that the linker drops the unused ones; no unwind tables. And msvcrt's printf
    # instead of MinGW's larger one: the C++ headers ask for MinGW's, so <stdio.h> comes first.
    target_compile_options(product_options INTERFACE
        -fno-rtti $<$<CONFIG:Release>:-Os> -ffunction-sections -fdata-sections
        -fno-asynchronous-unwind-tables -D__USE_MINGW_ANSI_STDIO=0 -include stdio.h)
    target_link_options(product_options INTERFACE -Wl,--gc-sections)
endif()

# add_project_test(name SOURCES... LIBS...): one GoogleTest executable, registered with CTest.
function(add_project_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE project_options GTest::gtest_main ${T_LIBS})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)
endfunction()
