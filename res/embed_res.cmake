# Writes the bytes of a compiled .res file into a C++ source file as kProgramResFile.
# Usage: cmake -DINPUT=<file.res> -DOUTPUT=<file.cpp> -P embed_res.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")

# Sixteen bytes to a line, each as 0xNN.
set(lines "")
set(offset 0)
while(offset LESS hex_length)
    string(SUBSTRING "${hex}" ${offset} 32 chunk)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " chunk "${chunk}")
    string(STRIP "${chunk}" chunk)
    string(APPEND lines "    ${chunk}\n")
    math(EXPR offset "${offset} + 32")
endwhile()

get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
"// Generated from ${input_name} by res/embed_res.cmake. Do not edit.
#include \"res/program_resources.h\"

alignas(4) const unsigned char kProgramResFile[] = {
${lines}};
const std::size_t kProgramResFileSize = ${byte_count};
")
