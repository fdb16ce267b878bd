# Writes OUTPUT, a C++ source that defines pictorin::embedded::SYMBOL as a
# view of the bytes of INPUT, byte for byte.
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=kName -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
file(RELATIVE_PATH name "${CMAKE_CURRENT_LIST_DIR}" "${INPUT}")
file(WRITE "${OUTPUT}" "// Made from assets/${name} by assets/embed.cmake.
#include \"assets/embedded.h\"

namespace pictorin::embedded {
namespace {

constexpr std::uint8_t kBytes[] = {
${bytes}};

}  // namespace

const ByteView ${SYMBOL}{kBytes, sizeof kBytes};

}  // namespace pictorin::embedded
")
