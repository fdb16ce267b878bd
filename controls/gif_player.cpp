#include "controls/gif_player.h"

#include <algorithm>
#include <system_error>

#include "controls/raster_ops.h"
#include "imaging/checked.h"

namespace pictorin {
namespace {

constexpr Colour kWhite = MakeColour(255, 255, 255);

// Byte offset of pixel (x, y) in a raster of the given width.
std::size_t PixelOffset(std::int32_t width, std::int32_t x, std::int32_t y) {
  return CheckedProduct({std::int64_t{y} * width + x, 4}).value_or(0);
}

// How long an image stays: 10 ms per hundredth of a second, 50 ms for 0.
std::chrono::milliseconds DelayOf(int delay) {
  return std::chrono::milliseconds(delay == 0 ? 50 : std::int64_t{10} * delay);
}

bool KeepsArea(int disposal) { return disposal == 2 || disposal == 3; }

Rect ImageArea(const GifImage& image, const Raster& canvas) {
  return Intersect({image.left, image.top, image.width, image.height}, {0, 0, canvas.width, canvas.height});
}

}  // namespace

void DrawGifImage(const GifImage& image, std::int32_t left, std::int32_t top, bool keep_transparent,
                  Raster& canvas) {
  const Rect area = Intersect({left, top, image.width, image.height}, {0, 0, canvas.width, canvas.height});
  const Colour transparent = keep_transparent ? image.transparent : kNoColour;
  for (std::int32_t y = area.y; y < area.y + area.height; ++y) {
    const auto row = image.Row(y - top);
    const std::int64_t end = std::min<std::int64_t>(area.x + area.width, left + std::int64_t(row.size()));
    std::uint8_t* out = &canvas.pixels[PixelOffset(canvas.width, area.x, y)];
    for (std::int32_t x = area.x; x < end; ++x, out += 4) {
      // Table colours have a zero top byte, so kNoColour matches none of them.
      const Colour colour = image.colours[row[x - left]];
      if (colour == transparent) continue;
      out[0] = static_cast<std::uint8_t>(colour >> 16);
      out[1] = static_cast<std::uint8_t>(colour >> 8);
      out[2] = static_cast<std::uint8_t>(colour);
    }
  }
}

Result<std::unique_ptr<GifPlayer>> GifPlayer::Make(GifReader reader, ControlHost& host) {
  auto canvas = MakeRaster(reader.screen_width(), reader.screen_height());
  if (!canvas) return canvas.failure();
  Fill(*canvas, kWhite);
  return std::unique_ptr<GifPlayer>(new GifPlayer(std::move(reader), std::move(*canvas), host));
}

GifPlayer::GifPlayer(GifReader reader, Raster canvas, ControlHost& host)
    : host_(host), reader_(std::move(reader)), canvas_(std::move(canvas)) {}

GifPlayer::~GifPlayer() { Stop(); }

void GifPlayer::Start(Size client) {
  started_ = true;
  SetClientSize(client);
  try {
    thread_ = std::thread(&GifPlayer::Run, this);
  } catch (const std::system_error&) {
    // No thread to be had: the canvas stays as it is, white.
  }
}

void GifPlayer::SetClientSize(Size client) {
  std::lock_guard lock(state_lock_);
  client_ = client;
}

void GifPlayer::Run() {
  for (;;) {
    const auto start = std::chrono::steady_clock::now();
    Turn();
    Size client;
    {
      std::lock_guard lock(state_lock_);
      client = client_;
    }
    host_.MarkForRepaint({0, 0, client.width, client.height});
    if (!WaitUntil(start + DelayOf(delay_))) break;
  }
  std::lock_guard lock(state_lock_);
  stopped_ = true;
  state_changed_.notify_all();
}

// One image onto the canvas. It is decoded outside the paint lock, since only
// this thread uses the reader. A turn without an image keeps the canvas and
// the last delay.
void GifPlayer::Turn() {
  auto image = reader_.NextImage(kDecodeBudget - canvas_.pixels.size());
  std::lock_guard lock(paint_lock_);
  if (!saved_area_.empty()) {
    Blit(saved_, canvas_, saved_area_.x, saved_area_.y);
    saved_area_ = {};
  }
  if (!image) return;
  delay_ = image->delay;
  if (KeepsArea(image->disposal)) SaveArea(ImageArea(*image, canvas_));
  DrawGifImage(*image, image->left, image->top, true, canvas_);
}

void GifPlayer::SaveArea(const Rect& area) {
  if (area.empty()) return;
  auto saved = MakeRaster(area.width, area.height);
  if (!saved) return;  // without memory for it, the area is not restored
  saved_ = std::move(*saved);
  Blit(canvas_, saved_, -area.x, -area.y);
  saved_area_ = area;
}

bool GifPlayer::WaitUntil(std::chrono::steady_clock::time_point due) {
  std::unique_lock lock(state_lock_);
  return !state_changed_.wait_until(lock, due, [this] { return stop_requested_; });
}

// The handshake: ask for the stop, then wait until the player reports it.
void GifPlayer::Stop() {
  if (!thread_.joinable()) return;
  {
    std::unique_lock lock(state_lock_);
    stop_requested_ = true;
    state_changed_.notify_all();
    state_changed_.wait(lock, [this] { return stopped_; });
  }
  thread_.join();
}

}  // namespace pictorin
