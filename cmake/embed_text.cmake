# Writes the bytes of a file as a C++ character array, so that a text file
# (kept in its own encoding and line ends) is compiled in unchanged.
#   cmake -DINPUT=file -DOUTPUT=file.inc -DNAME=kName -P embed_text.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
set(body "")
set(offset 0)
while(offset LESS hex_length)
  # Sixteen bytes to a line keep the generated file readable.
  string(SUBSTRING "${hex}" ${offset} 32 chunk)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," chunk "${chunk}")
  string(APPEND body "  ${chunk}\n")
  math(EXPR offset "${offset} + 32")
endwhile()
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT}; do not edit.\n"
  "inline constexpr char ${NAME}[${size} + 1] = {\n${body}  '\\0'};\n"
  "inline constexpr unsigned long ${NAME}Size = ${size};\n")
