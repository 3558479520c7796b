# Turns a text file into a C++ source defining vc::kEmbeddedDefaultMachine.
file(READ ${INPUT} content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
file(WRITE ${OUTPUT}
  "// Generated from machines/default.machine; do not edit.\n"
  "#include <string_view>\n"
  "namespace vc {\n"
  "namespace { constexpr char kBytes[] = {${bytes} 0x00}; }\n"
  "extern const std::string_view kEmbeddedDefaultMachine{kBytes, sizeof(kBytes) - 1};\n"
  "}  // namespace vc\n")
