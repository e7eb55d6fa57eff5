// What the build's generator programs share: bytes written as a C++ array, and a generated file
// written beside its target and renamed over it, so an interrupted build leaves no half file and
// an unchanged file keeps its time stamp.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

namespace tarvik::generated {

// `const unsigned char NAME[] = {...};`, `per_line` bytes to a line.
inline void WriteByteArray(std::ostream& out, const std::string& name, std::string_view bytes,
                           std::size_t per_line = 32) {
  out << "const unsigned char " << name << "[] = {";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % per_line == 0) out << "\n";
    out << static_cast<int>(static_cast<unsigned char>(bytes[i])) << ',';
  }
  out << "\n};\n";
}

// Writes `content` to `path` unless the file already holds exactly that. False when it cannot.
inline bool WriteGeneratedFile(const std::string& path, const std::string& content) {
  {
    std::ifstream old(path, std::ios::binary);
    if (old && std::string(std::istreambuf_iterator<char>(old), {}) == content) return true;
  }
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary);
    file << content;
    if (!file.flush()) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace tarvik::generated
