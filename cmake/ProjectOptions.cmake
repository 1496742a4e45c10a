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

# add_project_test(name SOURCES... LIBS...): one GoogleTest executable, registered with CTest.
function(add_project_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE project_options GTest::gtest_main ${T_LIBS})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
