# Writes OUTPUT, a C++ source holding the bytes of the file INPUT as
# huvolo::keeperImage, for the program to run the keeper from memory.
file(READ "${INPUT}" hex HEX)
file(SIZE "${INPUT}" size)
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
file(WRITE "${OUTPUT}.new" "// Generated from the clipboard keeper's executable; do not edit.
#include <cstddef>
namespace huvolo {
extern const unsigned char keeperImage[];
extern const std::size_t keeperImageSize;
const unsigned char keeperImage[] = {
${hex}};
const std::size_t keeperImageSize = ${size};
} // namespace huvolo
")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
