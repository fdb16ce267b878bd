#include "tests/support/gif_builder.h"

#include <algorithm>
#include <unordered_map>

#include "tests/support/little_endian.h"

namespace pictorin::test {
namespace {

// The k of a table of 2^(k+1) entries that holds count colours.
int TableSizeBits(std::size_t count) {
  int bits = 0;
  while ((std::size_t{2} << bits) < count) ++bits;
  return bits;
}

void PutTable(Bytes& bytes, const std::vector<Colour>& table) {
  const std::size_t entries = std::size_t{2} << TableSizeBits(table.size());
  for (std::size_t i = 0; i < entries; ++i) {
    const Colour colour = i < table.size() ? table[i] : 0;
    bytes.push_back(static_cast<std::uint8_t>(colour));
    bytes.push_back(static_cast<std::uint8_t>(colour >> 8));
    bytes.push_back(static_cast<std::uint8_t>(colour >> 16));
  }
}

// The rows in the order of the four interlace passes.
std::vector<std::uint8_t> Interlaced(const GifImageSpec& image) {
  std::vector<std::uint8_t> rows;
  const int starts[] = {0, 4, 2, 1};
  const int steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = starts[pass]; y < image.height; y += steps[pass]) {
      const auto row = image.indices.begin() + y * image.width;
      rows.insert(rows.end(), row, row + image.width);
    }
  }
  return rows;
}

// Writes codes as the decoder reads them: it widens its codes when its next
// free code reaches 2^width, one entry behind the encoder.
class CodeStream {
 public:
  explicit CodeStream(int min_code_size) : min_code_size_(min_code_size) { Reset(); }

  void Reset() {
    width_ = min_code_size_ + 1;
    decoder_free_ = (1 << min_code_size_) + 2;
    first_ = true;
  }
  // A code that the decoder answers with a new entry, unless it is the first after a clear.
  void PutData(int code) {
    Put(code);
    if (!first_ && decoder_free_ < 4096 && ++decoder_free_ == 1 << width_ && width_ < 12) ++width_;
    first_ = false;
  }
  void Put(int code) { codes_.push_back({code, width_}); }
  const std::vector<LzwCode>& codes() const { return codes_; }

 private:
  int min_code_size_;
  int width_ = 0;
  int decoder_free_ = 0;
  bool first_ = true;
  std::vector<LzwCode> codes_;
};

}  // namespace

Bytes PackCodes(const std::vector<LzwCode>& codes) {
  Bytes bytes;
  std::uint32_t bits = 0;
  int count = 0;
  for (const LzwCode& code : codes) {
    bits |= static_cast<std::uint32_t>(code.code) << count;
    count += code.width;
    for (; count >= 8; count -= 8, bits >>= 8) bytes.push_back(static_cast<std::uint8_t>(bits));
  }
  if (count > 0) bytes.push_back(static_cast<std::uint8_t>(bits));
  return bytes;
}

Bytes LzwEncode(std::span<const std::uint8_t> indices, int min_code_size, bool clear_when_full) {
  const int clear = 1 << min_code_size;
  CodeStream out(min_code_size);
  std::unordered_map<int, int> table;  // (prefix code << 8 | index) → code
  int next_free = clear + 2;
  out.Put(clear);
  if (!indices.empty()) {
    int current = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
      const int key = current << 8 | indices[i];
      if (auto found = table.find(key); found != table.end()) {
        current = found->second;
        continue;
      }
      out.PutData(current);
      if (next_free < 4096) table[key] = next_free++;
      if (next_free == 4096 && clear_when_full) {
        out.Put(clear);
        out.Reset();
        table.clear();
        next_free = clear + 2;
      }
      current = indices[i];
    }
    out.PutData(current);
  }
  out.Put(clear + 1);
  return PackCodes(out.codes());
}

Bytes SubBlocks(ByteView data, std::size_t block_size) {
  Bytes bytes;
  for (std::size_t at = 0; at < data.size(); at += block_size) {
    const std::size_t size = std::min(block_size, data.size() - at);
    bytes.push_back(static_cast<std::uint8_t>(size));
    bytes.insert(bytes.end(), data.begin() + at, data.begin() + at + size);
  }
  bytes.push_back(0);
  return bytes;
}

GifBuilder::GifBuilder(int screen_width, int screen_height, const std::vector<Colour>& global_table,
                       const std::string& version) {
  const std::string signature = "GIF" + version;
  bytes_.assign(signature.begin(), signature.end());
  AppendU16(bytes_, static_cast<std::uint32_t>(screen_width));
  AppendU16(bytes_, static_cast<std::uint32_t>(screen_height));
  const int bits = TableSizeBits(global_table.size());
  bytes_.push_back(static_cast<std::uint8_t>(global_table.empty() ? 0 : 0x80 | 0x70 | bits));
  bytes_.push_back(0);  // background colour index
  bytes_.push_back(0);  // aspect ratio
  if (!global_table.empty()) PutTable(bytes_, global_table);
}

GifBuilder& GifBuilder::Control(int disposal, int delay, int transparent_index) {
  Append({0x21, 0xF9, 0x04});
  bytes_.push_back(static_cast<std::uint8_t>(disposal << 2 | (transparent_index >= 0 ? 1 : 0)));
  AppendU16(bytes_, static_cast<std::uint32_t>(delay));
  bytes_.push_back(static_cast<std::uint8_t>(transparent_index >= 0 ? transparent_index : 0));
  bytes_.push_back(0);
  return *this;
}

GifBuilder& GifBuilder::Descriptor(const GifImageSpec& image) {
  bytes_.push_back(0x2C);
  AppendU16(bytes_, static_cast<std::uint32_t>(image.left));
  AppendU16(bytes_, static_cast<std::uint32_t>(image.top));
  AppendU16(bytes_, static_cast<std::uint32_t>(image.width));
  AppendU16(bytes_, static_cast<std::uint32_t>(image.height));
  const int bits = TableSizeBits(image.local_table.size());
  bytes_.push_back(static_cast<std::uint8_t>((image.local_table.empty() ? 0 : 0x80 | bits) |
                                             (image.interlaced ? 0x40 : 0)));
  if (!image.local_table.empty()) PutTable(bytes_, image.local_table);
  return *this;
}

GifBuilder& GifBuilder::Image(const GifImageSpec& image) {
  Descriptor(image);
  bytes_.push_back(static_cast<std::uint8_t>(image.min_code_size));
  const std::vector<std::uint8_t> rows = image.interlaced ? Interlaced(image) : image.indices;
  return Append(SubBlocks(LzwEncode(rows, image.min_code_size)));
}

GifBuilder& GifBuilder::LoopCount(int count) {
  const std::string name = "NETSCAPE2.0";
  Append({0x21, 0xFF, 0x0B});
  bytes_.insert(bytes_.end(), name.begin(), name.end());
  Append({0x03, 0x01});
  AppendU16(bytes_, static_cast<std::uint32_t>(count));
  bytes_.push_back(0);
  return *this;
}

GifBuilder& GifBuilder::Comment(const std::string& text) {
  Append({0x21, 0xFE});
  return Append(SubBlocks({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}));
}

GifBuilder& GifBuilder::Append(ByteView raw) {
  bytes_.insert(bytes_.end(), raw.begin(), raw.end());
  return *this;
}

GifBuilder& GifBuilder::Trailer() {
  bytes_.push_back(0x3B);
  return *this;
}

std::vector<std::uint8_t> Indices(int width, int height, int (*index_at)(int x, int y)) {
  std::vector<std::uint8_t> indices;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) indices.push_back(static_cast<std::uint8_t>(index_at(x, y)));
  }
  return indices;
}

}  // namespace pictorin::test
