#pragma once
// The GIF reader: walks a GIF file's blocks and delivers its images one at a
// time as colour indices with their colour table and control values. It does
// no composition; its users place the images the way they need.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imaging/bytes.h"
#include "imaging/checked.h"
#include "imaging/picture.h"
#include "imaging/result.h"

namespace pictorin {

// Entries of a colour table in effect, as 0x00BBGGRR. Always 256: entries the
// file does not give (or all of them, when it has no table) are black.
using GifColourTable = std::array<Colour, 256>;

struct GifImage {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool interlaced = false;
  GifColourTable colours{};
  // The indices in the order the data give them: rows top to bottom, or the
  // rows of the four interlace passes. Shorter than width × height when the
  // image data end early; use Row() to read them by row.
  std::vector<std::uint8_t> indices;
  Colour transparent = kNoColour;  // the colour at the transparent index, or none
  int disposal = 0;                // 0..7
  int delay = 0;                   // hundredths of a second

  // Row y (0 at the top) of the image: width indices, fewer or none where the
  // data ended before reaching it.
  std::span<const std::uint8_t> Row(std::int32_t y) const;
};

class GifReader {
 public:
  // Fails when the bytes are not longer than 13, lack the GIF87a/GIF89a
  // signature, or the global colour table does not end before their end.
  static Result<GifReader> Open(ByteView bytes, bool looping);

  // The next image, or a failure when there is none: kNoImage when the blocks
  // end or stop, kTruncated when they reach past the data, kCorruptData when
  // the image data are damaged (the image is dropped), kTooLarge when the
  // image's indices would take more than budget bytes.
  Result<GifImage> NextImage(std::size_t budget = kDecodeBudget);

  // Back to the first block after the global colour table; the control values
  // keep their values.
  void Rewind() { position_ = 0; }

  // True when the read position stands on the data's last byte or beyond it.
  bool AtLastByte() const { return position_ + 1 >= data_.size(); }

  std::int32_t screen_width() const { return screen_width_; }
  std::int32_t screen_height() const { return screen_height_; }

 private:
  // What graphic control blocks set. The disposal method applies only to the
  // image that follows its block; the others last until the next such block.
  struct Control {
    int disposal = 0;
    bool transparency = false;
    std::uint8_t transparent_index = 0;
    int delay = 0;
  };

  GifReader() = default;

  std::int32_t screen_width_ = 0;
  std::int32_t screen_height_ = 0;
  bool has_global_table_ = false;
  GifColourTable global_table_{};
  Bytes data_;             // every byte after the header and the global table
  std::size_t position_ = 0;
  Control control_;
  bool looping_ = false;

  Result<GifImage> Search(std::size_t budget);
  std::optional<Failure> ReadExtension();
  std::optional<Failure> ReadGraphicControl();
  std::optional<Failure> SkipExtension(std::size_t header_size);
  bool SkipSubBlocks();
  Result<GifImage> ReadImage(std::size_t budget);
  Result<std::vector<std::uint8_t>> ReadImageData(std::size_t pixels, std::size_t budget);
  Failure DataEnded();
};

}  // namespace pictorin
