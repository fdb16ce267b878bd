#pragma once
// Moving a whole file between the disk and a Bytes value in one piece.

#include <initializer_list>
#include <string>

#include "imaging/bytes.h"

namespace pictorin {

// The file's whole content, or empty Bytes when the name is empty, the file is
// missing, a folder, empty, unreadable or 2 GiB or larger.
Bytes ReadWholeFile(const std::string& name);

// Writes the data values one after another as the file's new content. The
// old file, if any, stays exactly as it was unless every byte was written.
bool WriteWholeFile(const std::string& name, std::initializer_list<ByteView> data);

}  // namespace pictorin
