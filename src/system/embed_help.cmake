# Turns the HTML manual into a C++ source file, with the version put in:
# cmake -DIN=<html> -DOUT=<cpp> -DVERSION=<major.minor> -P embed_help.cmake
file(READ "${IN}" html)
string(REPLACE "@TARVIK_DIALOG_VERSION@" "${VERSION}" html "${html}")
string(FIND "${html}" ")tarvik_help\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} contains the raw string delimiter")
endif()
file(WRITE "${OUT}.tmp"
  "// Generated from help/Tarvik.html; edit that file instead.\n"
  "namespace tarvik {\n"
  "extern const char* const kEmbeddedHelpHtml;\n"
  "const char* const kEmbeddedHelpHtml = R\"tarvik_help(${html})tarvik_help\";\n"
  "}  // namespace tarvik\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
