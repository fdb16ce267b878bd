// A GIF's images as pictures: every image composed into frames for
// DecodePicture, and the first image alone as a still raster.

#include <algorithm>
#include <cstring>

#include "imaging/checked.h"
#include "imaging/formats.h"
#include "imaging/gif.h"

namespace pictorin {
namespace {

// The part of the logical screen that an image covers.
struct Area {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

Area Covered(const GifImage& image, std::int32_t screen_width, std::int32_t screen_height) {
  const std::int32_t right = std::min(image.left + image.width, screen_width);
  const std::int32_t bottom = std::min(image.top + image.height, screen_height);
  if (right <= image.left || bottom <= image.top) return {};
  return {image.left, image.top, right - image.left, bottom - image.top};
}

// Bytes of four-byte pixels, counted against the decode budget of one call.
class Budget {
 public:
  bool Take(std::size_t bytes) {
    if (bytes > kDecodeBudget - used_) return false;
    used_ += bytes;
    return true;
  }
  void Give(std::size_t bytes) { used_ -= bytes; }
  // What is left once `reserve` bytes are set aside.
  std::size_t Room(std::size_t reserve) const {
    const std::size_t left = kDecodeBudget - used_;
    return left > reserve ? left - reserve : 0;
  }

 private:
  std::size_t used_ = 0;
};

// The rows of an area of a screen-wide raster, copied out or back. Areas lie
// inside the screen, whose raster size has been checked, so their byte
// counts cannot overflow.
struct SavedArea {
  Area area;
  std::vector<std::uint8_t> pixels;
};

SavedArea Save(const std::vector<std::uint8_t>& canvas, std::int32_t screen_width, Area area) {
  SavedArea saved{area, std::vector<std::uint8_t>(std::size_t{4} * area.width * area.height)};
  const std::size_t row_bytes = std::size_t{4} * area.width;
  for (std::int32_t y = 0; y < area.height; ++y) {
    const std::size_t from = (std::size_t{1} * (area.top + y) * screen_width + area.left) * 4;
    std::memcpy(saved.pixels.data() + y * row_bytes, canvas.data() + from, row_bytes);
  }
  return saved;
}

void Restore(std::vector<std::uint8_t>& canvas, std::int32_t screen_width, const SavedArea& saved) {
  const Area& area = saved.area;
  const std::size_t row_bytes = std::size_t{4} * area.width;
  for (std::int32_t y = 0; y < area.height; ++y) {
    const std::size_t to = (std::size_t{1} * (area.top + y) * screen_width + area.left) * 4;
    std::memcpy(canvas.data() + to, saved.pixels.data() + y * row_bytes, row_bytes);
  }
}

// Blue, green, red, 0 for each index, and whether its colour is transparent.
struct Palette {
  std::uint8_t bgra[256][4];
  bool skip[256];
};

Palette MakePalette(const GifImage& image, bool apply_transparency) {
  Palette palette{};
  for (int i = 0; i < 256; ++i) {
    const Colour colour = image.colours[i];
    palette.bgra[i][0] = static_cast<std::uint8_t>(colour >> 16);
    palette.bgra[i][1] = static_cast<std::uint8_t>(colour >> 8);
    palette.bgra[i][2] = static_cast<std::uint8_t>(colour);
    palette.skip[i] = apply_transparency && colour == image.transparent;
  }
  return palette;
}

// Draws the image's rows into a raster at (left, top), cut off at the
// raster's edges. Pixels whose colour is transparent, and those the data
// never reached, leave the raster as it was.
void Draw(const GifImage& image, bool apply_transparency, std::int32_t left, std::int32_t top,
          std::int32_t raster_width, std::int32_t raster_height, std::vector<std::uint8_t>& raster) {
  const Palette palette = MakePalette(image, apply_transparency);
  const std::int32_t rows = std::min(image.height, raster_height - top);
  const std::int32_t columns = std::min(image.width, raster_width - left);
  if (rows <= 0 || columns <= 0) return;
  for (std::int32_t y = 0; y < rows; ++y) {
    const auto indices = image.Row(y);
    const auto row = indices.first(std::min<std::size_t>(columns, indices.size()));
    std::uint8_t* to = raster.data() + (std::size_t{1} * (top + y) * raster_width + left) * 4;
    for (const std::uint8_t index : row) {
      if (!palette.skip[index]) std::memcpy(to, palette.bgra[index], 4);
      to += 4;
    }
  }
}

std::int32_t FrameDelay(const GifImage& image) { return image.delay == 0 ? 50 : image.delay * 10; }

// The composition's state: the frames so far (the last is the canvas) and the
// area that the previous image asked to restore.
struct Composition {
  Picture picture;
  std::size_t frame_bytes = 0;
  Budget budget;
  std::optional<SavedArea> saved;
};

// One frame from one image: restore what the previous image covered if its
// disposal asks for it, save what this one covers if its own does, draw.
std::optional<Failure> AddFrame(Composition& c, const GifImage& image) {
  if (!c.budget.Take(c.frame_bytes)) return Failure::kTooLarge;
  Frame frame{c.picture.frames.empty() ? std::vector<std::uint8_t>(c.frame_bytes, 255)
                                       : c.picture.frames.back().pixels,
              kNoColour, FrameDelay(image)};
  if (c.saved) {
    Restore(frame.pixels, c.picture.width, *c.saved);
    c.budget.Give(c.saved->pixels.size());
    c.saved.reset();
  }
  if (image.disposal == 2 || image.disposal == 3) {
    const Area area = Covered(image, c.picture.width, c.picture.height);
    if (!c.budget.Take(std::size_t{4} * area.width * area.height)) return Failure::kTooLarge;
    c.saved = Save(frame.pixels, c.picture.width, area);
  }
  Draw(image, true, image.left, image.top, c.picture.width, c.picture.height, frame.pixels);
  c.picture.frames.push_back(std::move(frame));
  return std::nullopt;
}

}  // namespace

Result<Picture> ComposeGifFrames(ByteView bytes) {
  auto reader = GifReader::Open(bytes, false);
  if (!reader) return reader.failure();
  Composition c;
  c.picture.width = reader->screen_width();
  c.picture.height = reader->screen_height();
  const auto frame_bytes = RasterBytes(c.picture.width, c.picture.height, 4);
  if (!frame_bytes) return c.picture.width < 1 || c.picture.height < 1 ? Failure::kBadHeader : Failure::kTooLarge;
  c.frame_bytes = *frame_bytes;
  for (;;) {
    auto image = reader->NextImage(c.budget.Room(c.frame_bytes));
    if (!image) {
      const Failure failure = image.failure();
      if (c.picture.frames.empty() || failure == Failure::kTooLarge || failure == Failure::kOutOfMemory) {
        return failure;
      }
      return std::move(c.picture);
    }
    // The image's indices count against the budget while it is drawn.
    if (!c.budget.Take(image->indices.size())) return Failure::kTooLarge;
    const auto failure = AddFrame(c, *image);
    if (failure) return *failure;
    c.budget.Give(image->indices.size());
  }
}

Result<Raster> DecodeGifFirstImage(ByteView bytes) {
  auto reader = GifReader::Open(bytes, false);
  if (!reader) return reader.failure();
  const std::int32_t width = reader->screen_width();
  const std::int32_t height = reader->screen_height();
  const auto raster_bytes = RasterBytes(width, height, 4);
  if (!raster_bytes) return width < 1 || height < 1 ? Failure::kBadHeader : Failure::kTooLarge;
  auto image = reader->NextImage(kDecodeBudget - *raster_bytes);
  if (!image) return image.failure();
  auto raster = MakeRaster(width, height);
  if (!raster) return raster.failure();
  // What the image does not cover is white.
  for (std::size_t i = 0; i < raster->pixels.size(); i += 4) std::memset(&raster->pixels[i], 255, 3);
  Draw(*image, false, 0, 0, width, height, raster->pixels);
  return raster;
}

}  // namespace pictorin
