#include "imaging/gif.h"

#include <algorithm>
#include <memory>
#include <new>

namespace pictorin {
namespace {

constexpr std::size_t kHeaderSize = 13;
constexpr int kMaxCodeWidth = 12;
constexpr int kTableSize = 1 << kMaxCodeWidth;

bool HasGifSignature(ByteView bytes) {
  return bytes.size() >= 6 && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F' &&
         bytes[3] == '8' && (bytes[4] == '7' || bytes[4] == '9') && bytes[5] == 'a';
}

// A colour table of 2^(size_bits + 1) red, green, blue entries at offset;
// false when it reaches past the data. Entries it does not give stay black.
bool ReadColourTable(ByteView data, std::size_t offset, int size_bits, GifColourTable& table) {
  const std::size_t count = std::size_t{2} << size_bits;
  if (!InBounds(data, offset, count * 3)) return false;
  table.fill(MakeColour(0, 0, 0));
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = &data[offset + i * 3];
    table[i] = MakeColour(entry[0], entry[1], entry[2]);
  }
  return true;
}

// The line of the data that holds row y of an interlaced image of the given
// height: the rows of pass 1 (0, 8, 16, ...) come first, then those of pass 2
// (4, 12, ...), pass 3 (2, 6, ...) and pass 4 (1, 3, ...).
std::size_t InterlacedLine(std::int32_t y, std::int32_t height) {
  if (y % 8 == 0) return y / 8;
  const std::int32_t pass2 = (height + 7) / 8;
  if (y % 8 == 4) return pass2 + y / 8;
  const std::int32_t pass3 = pass2 + (height + 3) / 8;
  if (y % 4 == 2) return pass3 + y / 4;
  return pass3 + (height + 1) / 4 + y / 2;
}

// Decoder state for one image's LZW data: the byte source over the data
// sub-blocks, the bit reader, the code table and the indices made so far.
struct LzwContext {
  ByteView data;
  std::size_t position = 0;    // next byte to read
  std::size_t block_left = 0;  // bytes left in the current sub-block
  bool run_out = false;        // reached the terminating length byte; bytes are 255 from now
  bool padding_only = false;   // every bit still to come is such a 255 byte
  bool truncated = false;      // a sub-block or its length byte reaches past the data

  std::uint32_t bits = 0;
  int bit_count = 0;

  int min_code_size = 0;
  int clear = 0;
  int width = 0;
  int next_free = 0;
  std::uint16_t prefix[kTableSize];
  std::uint8_t suffix[kTableSize];
  std::uint16_t length[kTableSize];

  std::vector<std::uint8_t> out;  // grows as indices arrive, up to total
  std::size_t count = 0;
  std::size_t total = 0;
  std::uint8_t overflow[kTableSize];  // a string that reaches past the last pixel
};

// Moves onto the next data sub-block (a length byte, then that many bytes).
// False when the chain ends, which leaves the position on its terminating
// length byte, or when the sub-block reaches past the data.
bool StartSubBlock(LzwContext& c) {
  if (c.run_out || c.truncated) return false;
  if (c.position >= c.data.size()) {
    c.truncated = true;
    return false;
  }
  const std::size_t size = c.data[c.position];
  if (size == 0) {
    c.run_out = true;
    return false;
  }
  if (!InBounds(c.data, c.position + 1, size)) {
    c.truncated = true;
    return false;
  }
  c.position += 1;
  c.block_left = size;
  return true;
}

inline std::uint32_t NextByte(LzwContext& c) {
  if (c.block_left == 0 && !StartSubBlock(c)) return 0xFF;
  --c.block_left;
  return c.data[c.position++];
}

// The next code of the current width, least significant bit first.
inline int NextCode(LzwContext& c) {
  while (c.bit_count < c.width) {
    c.bits |= NextByte(c) << c.bit_count;
    c.bit_count += 8;
  }
  const int code = static_cast<int>(c.bits & ((1u << c.width) - 1));
  c.bits >>= c.width;
  c.bit_count -= c.width;
  return code;
}

void ResetTable(LzwContext& c) {
  c.width = c.min_code_size + 1;
  c.next_free = c.clear + 2;
}

// Where n more indices go: straight into the output while they fit the image,
// else into the overflow buffer, of which Commit keeps what still fits.
inline std::uint8_t* Room(LzwContext& c, std::size_t n) {
  if (c.count + n <= c.out.size()) return c.out.data() + c.count;
  if (c.out.size() < c.total) {
    c.out.resize(std::min(c.total, std::max({c.count + n, c.out.size() * 2, std::size_t{4096}})));
    if (c.count + n <= c.out.size()) return c.out.data() + c.count;
  }
  return c.overflow;
}

inline void Commit(LzwContext& c, const std::uint8_t* written, std::size_t n) {
  if (written != c.overflow) {
    c.count += n;
    return;
  }
  const std::size_t kept = c.total - c.count;
  std::copy_n(written, kept, c.out.begin() + static_cast<std::ptrdiff_t>(c.count));
  c.count = c.total;
}

// Writes the string of code backwards from its last index; returns its first.
// Every entry's prefix is a smaller code, and its length one more than its
// prefix's, so the walk ends exactly at to[0].
inline std::uint8_t WriteString(const LzwContext& c, int code, std::uint8_t* to) {
  std::uint8_t* at = to + c.length[code] - 1;
  while (code >= c.clear) {
    *at-- = c.suffix[code];
    code = c.prefix[code];
  }
  *at = static_cast<std::uint8_t>(code);
  return *at;
}

// The indices of a known code; returns the first of them.
inline std::uint8_t EmitCode(LzwContext& c, int code) {
  const std::size_t n = c.length[code];
  std::uint8_t* to = Room(c, n);
  const std::uint8_t first = WriteString(c, code, to);
  Commit(c, to, n);
  return first;
}

// The code that is about to be defined: the previous string and its first index.
inline std::uint8_t EmitNextFree(LzwContext& c, int previous) {
  const std::size_t n = c.length[previous] + std::size_t{1};
  std::uint8_t* to = Room(c, n);
  const std::uint8_t first = WriteString(c, previous, to);
  to[n - 1] = first;
  Commit(c, to, n);
  return first;
}

// A new entry, the previous string plus one index, while the table has room;
// the width grows when the next free code reaches 2^width.
inline void AddEntry(LzwContext& c, int previous, std::uint8_t first) {
  if (c.next_free >= kTableSize) return;
  c.prefix[c.next_free] = static_cast<std::uint16_t>(previous);
  c.suffix[c.next_free] = first;
  c.length[c.next_free] = static_cast<std::uint16_t>(c.length[previous] + 1);
  ++c.next_free;
  if (c.next_free == 1 << c.width && c.width < kMaxCodeWidth) ++c.width;
}

enum class LzwEnd { kEndCode, kTruncated, kCorrupt };

// After the sub-blocks have run out every code is made of 255 bytes; once the
// table is full that is code 4095 forever, which adds nothing. When the image
// is full too, nothing can change any more and the data count as ended.
bool OnlyPaddingLeft(LzwContext& c) {
  const bool idle = c.padding_only && c.next_free == kTableSize && c.count >= c.total;
  c.padding_only = c.run_out;
  return idle;
}

// Decodes codes up to the end code. The image fails when a code is not yet
// defined: the first code after a clear code must be an index, and no code
// may lie beyond the next free one.
LzwEnd DecodeCodes(LzwContext& c) {
  const int end = c.clear + 1;
  int previous = -1;
  for (;;) {
    const int code = NextCode(c);
    if (c.run_out || c.truncated) {
      if (c.truncated) return LzwEnd::kTruncated;
      if (OnlyPaddingLeft(c)) return LzwEnd::kEndCode;
    }
    if (code == c.clear) {
      ResetTable(c);
      previous = -1;
    } else if (code == end) {
      return LzwEnd::kEndCode;
    } else if (previous < 0) {
      if (code > end) return LzwEnd::kCorrupt;
      EmitCode(c, code);
      previous = code;
    } else {
      if (code > c.next_free) return LzwEnd::kCorrupt;
      const std::uint8_t first = code == c.next_free ? EmitNextFree(c, previous) : EmitCode(c, code);
      AddEntry(c, previous, first);
      previous = code;
    }
  }
}

}  // namespace

std::span<const std::uint8_t> GifImage::Row(std::int32_t y) const {
  const std::size_t line = interlaced ? InterlacedLine(y, height) : static_cast<std::size_t>(y);
  const std::size_t start = line * static_cast<std::size_t>(width);
  if (start >= indices.size()) return {};
  return std::span(indices).subspan(start, std::min<std::size_t>(width, indices.size() - start));
}

Result<GifReader> GifReader::Open(ByteView bytes, bool looping) {
  if (bytes.size() <= kHeaderSize) return Failure::kTruncated;
  if (!HasGifSignature(bytes)) return Failure::kUnknownFormat;
  GifReader reader;
  reader.screen_width_ = *ReadU16(bytes, 6);
  reader.screen_height_ = *ReadU16(bytes, 8);
  const std::uint8_t packed = bytes[10];
  std::size_t offset = kHeaderSize;
  if (packed & 0x80) {
    // The global table must end before the last byte.
    const int size_bits = packed & 7;
    offset += (std::size_t{2} << size_bits) * 3;
    if (offset >= bytes.size()) return Failure::kTruncated;
    ReadColourTable(bytes, kHeaderSize, size_bits, reader.global_table_);
    reader.has_global_table_ = true;
  }
  try {
    reader.data_.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end());
  } catch (const std::bad_alloc&) {
    return Failure::kOutOfMemory;
  }
  reader.looping_ = looping;
  return reader;
}

Result<GifImage> GifReader::NextImage(std::size_t budget) {
  try {
    return Search(budget);
  } catch (const std::bad_alloc&) {
    return Failure::kOutOfMemory;
  }
}

Failure GifReader::DataEnded() {
  position_ = looping_ ? 0 : data_.size();
  return Failure::kTruncated;
}

// Blocks from the read position until an image; the trailer (3B) or a 00
// byte end the file, and a looping reader then starts again, once per search.
Result<GifImage> GifReader::Search(std::size_t budget) {
  control_.disposal = 0;
  bool rewound = position_ == 0;
  for (;;) {
    if (position_ >= data_.size()) return DataEnded();
    const std::uint8_t kind = data_[position_];
    if (kind == 0x2C) return ReadImage(budget);
    if (kind == 0x3B || kind == 0x00) {
      if (!looping_ || rewound) return Failure::kNoImage;
      Rewind();
      rewound = true;
    } else if (kind == 0x21) {
      if (auto stop = ReadExtension()) return *stop;
    } else {
      return Failure::kNoImage;
    }
  }
}

// 21, a label, then the extension's own layout. Unknown labels stop the search.
std::optional<Failure> GifReader::ReadExtension() {
  if (!InBounds(data_, position_, 2)) return DataEnded();
  switch (data_[position_ + 1]) {
    case 0xF9: return ReadGraphicControl();
    case 0x01: return SkipExtension(13);  // plain text: size byte and 12 bytes of text grid
    case 0xFE: return SkipExtension(0);   // comment: sub-blocks only
    case 0xFF: return SkipExtension(12);  // application: size byte and 11 bytes of name
    default: return Failure::kNoImage;
  }
}

// 21 F9, size byte (not checked), packed byte (disposal in bits 2..4,
// transparency flag in bit 0), 16-bit delay, transparent index, terminator.
std::optional<Failure> GifReader::ReadGraphicControl() {
  if (!InBounds(data_, position_, 8)) return DataEnded();
  const std::uint8_t packed = data_[position_ + 3];
  control_.disposal = (packed >> 2) & 7;
  control_.transparency = (packed & 1) != 0;
  control_.delay = *ReadU16(data_, position_ + 4);
  control_.transparent_index = data_[position_ + 6];
  position_ += 8;
  return std::nullopt;
}

// 21, label, a fixed header of header_size bytes, then data sub-blocks.
std::optional<Failure> GifReader::SkipExtension(std::size_t header_size) {
  if (!InBounds(data_, position_, 2 + header_size)) return DataEnded();
  position_ += 2 + header_size;
  if (!SkipSubBlocks()) return DataEnded();
  return std::nullopt;
}

// Length byte, that many bytes, again, up to a length byte 0; false when a
// sub-block reaches past the data.
bool GifReader::SkipSubBlocks() {
  for (;;) {
    if (position_ >= data_.size()) return false;
    const std::size_t size = data_[position_];
    if (!InBounds(data_, position_ + 1, size)) return false;
    position_ += 1 + size;
    if (size == 0) return true;
  }
}

// 2C, left, top, width, height (16 bits each), packed byte (bit 7 local
// table, bit 6 interlace, bits 0..2 table size), the local table, image data.
Result<GifImage> GifReader::ReadImage(std::size_t budget) {
  if (!InBounds(data_, position_, 10)) return DataEnded();
  GifImage image;
  image.left = *ReadU16(data_, position_ + 1);
  image.top = *ReadU16(data_, position_ + 3);
  image.width = *ReadU16(data_, position_ + 5);
  image.height = *ReadU16(data_, position_ + 7);
  const std::uint8_t packed = data_[position_ + 9];
  image.interlaced = (packed & 0x40) != 0;
  position_ += 10;
  if (packed & 0x80) {
    if (!ReadColourTable(data_, position_, packed & 7, image.colours)) return DataEnded();
    position_ += (std::size_t{2} << (packed & 7)) * 3;
  } else if (has_global_table_) {
    image.colours = global_table_;
  }
  image.transparent = control_.transparency ? image.colours[control_.transparent_index] : kNoColour;
  image.disposal = control_.disposal;
  image.delay = control_.delay;
  auto indices = ReadImageData(*CheckedProduct({image.width, image.height}), budget);
  if (!indices) return indices.failure();
  image.indices = std::move(*indices);
  return image;
}

// LZW minimum code size, then the data sub-blocks. After the end code exactly
// one byte is skipped: in well-formed files the chain's terminating 0.
Result<std::vector<std::uint8_t>> GifReader::ReadImageData(std::size_t pixels, std::size_t budget) {
  if (position_ >= data_.size()) return DataEnded();
  const int min_code_size = data_[position_++];
  if (pixels > budget) return SkipSubBlocks() ? Failure::kTooLarge : DataEnded();
  if (min_code_size < 2 || min_code_size > 8) return Failure::kCorruptData;
  auto c = std::make_unique<LzwContext>();
  c->data = data_;
  c->position = position_;
  c->min_code_size = min_code_size;
  c->clear = 1 << min_code_size;
  for (int i = 0; i < c->clear; ++i) c->length[i] = 1;
  ResetTable(*c);
  c->total = pixels;
  // A first guess at the output that the data could fill; it grows on demand.
  const std::size_t guess = CheckedProduct({static_cast<std::int64_t>(data_.size() - position_), 16}).value_or(pixels);
  c->out.resize(std::min(pixels, std::max<std::size_t>(4096, guess)));
  const LzwEnd end = DecodeCodes(*c);
  if (end == LzwEnd::kTruncated) return DataEnded();
  position_ = c->position;
  if (end == LzwEnd::kCorrupt) return Failure::kCorruptData;
  position_ = std::min(position_ + 1, data_.size());
  c->out.resize(c->count);
  return std::move(c->out);
}

}  // namespace pictorin
