#include "io/whole_file.h"

#include <cstdio>

namespace pictorin {

// Placeholder until the atomic writer lands.
Bytes ReadWholeFile(const std::string& name) {
  Bytes bytes;
  if (name.empty()) return bytes;
  if (FILE* file = std::fopen(name.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
  }
  return bytes;
}

bool WriteWholeFile(const std::string& name, std::initializer_list<ByteView> data) {
  if (name.empty()) return false;
  FILE* file = std::fopen(name.c_str(), "wb");
  if (!file) return false;
  bool ok = true;
  for (ByteView part : data) ok = ok && std::fwrite(part.data(), 1, part.size(), file) == part.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace pictorin
