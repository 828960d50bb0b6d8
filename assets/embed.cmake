# Writes the bytes of INPUT as a C++ array returned by FUNCTION into OUTPUT.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}" "#include \"assets/Assets.h\"\n\nnamespace vantorel::assets {\nnamespace {\nconst std::uint8_t data[] = {\n${bytes}\n};\n}\nstd::span<const std::uint8_t> ${FUNCTION}() { return data; }\n}\n")
