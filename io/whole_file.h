#pragma once
// Moving a whole file between the disk and a Bytes value in one piece.
// The bytes are stored and returned unchanged whatever the name's extension.

#include <initializer_list>
#include <string>

#include "imaging/bytes.h"

namespace pictorin {

// The file's whole content, or empty Bytes when the name is empty, the file is
// missing, not a plain file (a folder, a device, a pipe), empty, unreadable,
// 2 GiB or larger, or memory for it cannot be had. A read that ends early
// gives what arrived.
Bytes ReadWholeFile(const std::string& name);

// Writes the data values one after another as the file's new content; an
// empty value contributes nothing, no values give a 0-byte file. True when
// every byte is on disk under the name. On false the old file, if any, stays
// exactly as it was. A symbolic link stays a link and the file it points to
// is written; a replaced file keeps its permission bits, a new one gets those
// of a plain create under the umask. An empty name, a folder or any other
// target that is not a plain file gives false.
bool WriteWholeFile(const std::string& name, std::initializer_list<ByteView> data);

}  // namespace pictorin
