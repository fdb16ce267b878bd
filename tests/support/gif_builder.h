#pragma once
// GIF files assembled block by block, with an LZW encoder for image data, so
// that tests and benchmarks can make exactly the bytes they need.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "imaging/bytes.h"
#include "imaging/picture.h"

namespace pictorin::test {

struct LzwCode {
  int code;
  int width;  // bits
};

// Codes packed least significant bit first, as GIF image data carry them.
Bytes PackCodes(const std::vector<LzwCode>& codes);

// Indices compressed as GIF encoders do: a clear code first and an end code
// last. When the code table is full the encoder sends a clear code, or, with
// clear_when_full off, goes on with the full table.
Bytes LzwEncode(std::span<const std::uint8_t> indices, int min_code_size, bool clear_when_full = true);

// The data cut into sub-blocks of at most block_size bytes, then a length byte 0.
Bytes SubBlocks(ByteView data, std::size_t block_size = 255);

struct GifImageSpec {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indices;  // rows top to bottom
  bool interlaced = false;            // the rows are stored in the four passes
  std::vector<Colour> local_table;    // none when empty; padded with black to a power of two
  int min_code_size = 8;
};

class GifBuilder {
 public:
  // Header (GIF89a unless version says "87a") and the global table, if any.
  GifBuilder(int screen_width, int screen_height, const std::vector<Colour>& global_table,
             const std::string& version = "89a");

  // A graphic control block; a transparent index of -1 leaves the flag off.
  GifBuilder& Control(int disposal, int delay, int transparent_index = -1);
  // Image descriptor and local table only.
  GifBuilder& Descriptor(const GifImageSpec& image);
  // Descriptor, local table, minimum code size and the encoded indices.
  GifBuilder& Image(const GifImageSpec& image);
  // An application block such as the usual animation loop count.
  GifBuilder& LoopCount(int count);
  GifBuilder& Comment(const std::string& text);
  GifBuilder& Append(ByteView raw);
  GifBuilder& Append(std::initializer_list<std::uint8_t> raw) { return Append(ByteView(raw.begin(), raw.size())); }
  GifBuilder& Trailer();

  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

// One index per pixel, rows top to bottom, of a width × height image.
std::vector<std::uint8_t> Indices(int width, int height, int (*index_at)(int x, int y));

}  // namespace pictorin::test
