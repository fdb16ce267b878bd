#include "controls/pic_box.h"

#include <algorithm>
#include <utility>

#include "controls/raster_ops.h"
#include "controls/record_reader.h"
#include "imaging/checked.h"
#include "imaging/gif.h"

namespace pictorin {
namespace {

constexpr std::int32_t kMaxRecordVersion = 2;
constexpr std::int32_t kPictureSizedMode = 3;  // settings records only: the window takes the picture's size

Size SizeOf(const Raster& raster) { return {raster.width, raster.height}; }

// A single-image GIF as a still picture of the logical screen's size: the
// image from the top-left corner, without its transparent colour, and white
// where it does not reach, as the GIF's still decode shows it.
std::optional<StillPicture> SingleImage(const GifImage& image, const GifReader& reader) {
  auto raster = MakeRaster(reader.screen_width(), reader.screen_height());
  if (!raster) return std::nullopt;
  Fill(*raster, MakeColour(255, 255, 255));
  DrawGifImage(image, 0, 0, false, *raster);
  return StillPicture{PictureFormat::kGif, std::move(*raster), {}};
}

// The still picture at the size; icons and cursors drawn over the
// background through their mask first.
Result<Raster> ScaleStill(const StillPicture& still, Size size, Colour background, ResampleMode mode) {
  if (still.mask.kind == MaskKind::kNone) return Resample(still.colour, size.width, size.height, mode);
  auto drawn = DrawStillPicture(still, background);
  if (!drawn) return drawn;
  return Resample(*drawn, size.width, size.height, mode);
}

}  // namespace

Rect PlacementRect(int mode, Size picture, Size client) {
  const std::int32_t pw = picture.width, ph = picture.height, cw = client.width, ch = client.height;
  if (pw < 1 || ph < 1 || cw < 1 || ch < 1) return {};
  if (mode == 1) return {0, 0, cw, ch};
  if (mode != 2) return {0, 0, pw, ph};
  std::int32_t x = 0, y = 0, dw = cw, dh = ch;
  if (pw <= cw) {
    dw = pw;
    x = (cw - pw) / 2;
  }
  if (ph <= ch) {
    dh = ph;
    y = (ch - ph) / 2;
  }
  if (pw <= dw && ph <= dh) return {x, y, pw, ph};
  const double scale = std::min(static_cast<double>(dw) / pw, static_cast<double>(dh) / ph);
  const auto w = static_cast<std::int32_t>(pw * scale);
  const auto h = static_cast<std::int32_t>(ph * scale);
  return {x + (dw - w) / 2, y + (dh - h) / 2, w, h};
}

Result<PicBox::Settings> PicBox::ReadSettings(ByteView record) {
  Settings settings;
  if (record.empty()) return settings;
  RecordReader reader(record);
  const auto version = reader.Int();
  if (!version) return Failure::kTruncated;
  if (*version > kMaxRecordVersion) return Failure::kBadHeader;
  const auto border = reader.Int();
  const auto background = reader.Int();
  const auto mode = reader.Int();
  const auto play = reader.Int();
  auto file = reader.Blob();
  if (!border || !background || !mode || !play || !file) return Failure::kTruncated;
  settings.border_style = std::clamp(*border, 0, 5);
  settings.background = static_cast<Colour>(*background);
  settings.show_mode = *mode;
  settings.play_animation = *play != 0;
  settings.picture_file = std::move(*file);
  if (*version == kMaxRecordVersion) {
    auto source = reader.Text();
    auto item = reader.Text();
    if (!source || !item) return Failure::kTruncated;
    settings.picture_source = std::move(*source);
    settings.picture_source_item = std::move(*item);
  }
  return settings;
}

Result<std::unique_ptr<PicBox>> PicBox::Make(ByteView record, ControlHost& host) {
  auto settings = ReadSettings(record);
  if (!settings) return settings.failure();
  // The placement starts at 0 and takes the record's mode once the picture is shown.
  const std::int32_t mode = std::exchange(settings->show_mode, 0);
  std::unique_ptr<PicBox> box(new PicBox(host, std::move(*settings)));
  box->Show();
  box->ApplyShowMode(mode);
  host.ApplyBorderStyle(box->settings_.border_style);
  return box;
}

PicBox::PicBox(ControlHost& host, Settings settings)
    : host_(host), settings_(std::move(settings)), effective_animation_(settings_.play_animation) {}

bool PicBox::WriteProperty(int number, const PropertyValue& value) {
  const auto* integer = std::get_if<std::int32_t>(&value);
  switch (number) {
    case kBorderStyle:
      if (!integer) return false;
      settings_.border_style = std::clamp(*integer, 0, 5);
      host_.ApplyBorderStyle(settings_.border_style);
      return true;
    case kBackgroundColor:
      if (!integer) return false;
      settings_.background = static_cast<Colour>(*integer);
      MarkWholeClient();
      return true;
    case kPictureFile: {
      const auto* bytes = std::get_if<Bytes>(&value);
      if (!bytes) return false;
      settings_.picture_file = *bytes;
      Show();
      return true;
    }
    case kShowMode:
      if (!integer) return false;
      ApplyShowMode(std::clamp(*integer, 0, 2));
      return true;
    case kPlayAnimation:
      if (!integer) return false;
      settings_.play_animation = *integer != 0;
      if (shown_gif_) {
        effective_animation_ = settings_.play_animation;
        Show();
      }
      return true;
    case kPictureSource:
    case kPictureSourceItem: {
      const auto* text = std::get_if<std::string>(&value);
      if (!text) return false;
      (number == kPictureSource ? settings_.picture_source : settings_.picture_source_item) = *text;
      return true;
    }
    default:
      return false;
  }
}

std::optional<PropertyValue> PicBox::ReadProperty(int number) const {
  switch (number) {
    case kBorderStyle: return settings_.border_style;
    case kBackgroundColor: return static_cast<std::int32_t>(settings_.background);
    case kPictureFile: return settings_.picture_file;
    case kShowMode: return settings_.show_mode;
    case kPlayAnimation: return std::int32_t{settings_.play_animation};
    case kPictureSource: return settings_.picture_source;
    case kPictureSourceItem: return settings_.picture_source_item;
    default: return std::nullopt;
  }
}

// Replaces the shown picture with the one that PictureFile holds; a player
// that runs is stopped first. Bytes that do not decode leave no picture.
void PicBox::Show() {
  player_.reset();
  still_.reset();
  scaled_.reset();
  shown_gif_ = false;
  const ByteView bytes = settings_.picture_file;
  const PictureFormat format = DetectPictureFormat(bytes);
  if (format == PictureFormat::kGif && effective_animation_) {
    ShowGif();
  } else if (format != PictureFormat::kUnknown) {
    if (auto still = LoadStillPicture(bytes)) still_ = std::move(*still);
  }
  shown_gif_ = format == PictureFormat::kGif && (still_ || player_);
  if (settings_.show_mode == kPictureSizedMode) ResizeToPicture();
  MarkWholeClient();
}

// The first image is read at once. When the reader then stands on the data's
// last byte or beyond, nothing can follow and it is shown as a still
// picture; otherwise the player takes the rewound reader. A first image that
// cannot be decoded leaves no picture, as the still decode does.
void PicBox::ShowGif() {
  auto reader = GifReader::Open(settings_.picture_file, true);
  if (!reader) return;
  // The logical screen's raster comes out of the same budget as the images.
  const auto screen_bytes = RasterBytes(reader->screen_width(), reader->screen_height(), 4);
  if (!screen_bytes) return;
  auto first = reader->NextImage(kDecodeBudget - *screen_bytes);
  if (!first) return;
  if (reader->AtLastByte()) {
    still_ = SingleImage(*first, *reader);
    return;
  }
  reader->Rewind();
  if (auto player = GifPlayer::Make(std::move(*reader), host_)) player_ = std::move(*player);
}

void PicBox::ApplyShowMode(std::int32_t mode) {
  if (mode == settings_.show_mode) return;
  settings_.show_mode = mode;
  if (mode == kPictureSizedMode) ResizeToPicture();
  MarkWholeClient();
}

void PicBox::ResizeToPicture() {
  if (still_) host_.ResizeClient({still_->width(), still_->height()});
  if (player_) host_.ResizeClient(player_->screen());
}

void PicBox::MarkWholeClient() {
  const Size client = host_.ClientSize();
  host_.MarkForRepaint({0, 0, client.width, client.height});
}

Colour PicBox::BackgroundFill() const {
  return settings_.background == kNoColour ? host_.ButtonFaceColour() : settings_.background;
}

Result<Raster> PicBox::Paint() {
  const Size client = host_.ClientSize();
  auto out = MakeRaster(client.width, client.height);
  if (!out) return out;
  const Colour background = BackgroundFill();
  Fill(*out, background);
  const ResampleMode mode = ResampleModeForDepth(host_.DisplayDepth());
  if (still_) DrawStill(*out, background, mode);
  if (player_) DrawAnimation(*out, mode);
  return out;
}

void PicBox::DrawStill(Raster& out, Colour background, ResampleMode mode) {
  const Rect placement = PlacementRect(settings_.show_mode, SizeOf(still_->colour), SizeOf(out));
  if (placement.empty()) return;
  if (const Raster* scaled = ScaledStill({placement.width, placement.height}, background, mode)) {
    Blit(*scaled, out, placement.x, placement.y);
  }
}

// The still picture at the size, drawn over the background where it has a
// mask. An opaque picture at its own size is used as it is; anything else is
// kept until the size, the background or the mode changes, so that repaints
// of a large picture cost a copy of the client area.
const Raster* PicBox::ScaledStill(Size size, Colour background, ResampleMode mode) {
  const bool masked = still_->mask.kind != MaskKind::kNone;
  if (!masked && size == SizeOf(still_->colour)) return &still_->colour;
  if (scaled_ && scaled_->size == size && scaled_->background == background && scaled_->mode == mode) {
    return &scaled_->raster;
  }
  scaled_.reset();
  auto raster = ScaleStill(*still_, size, background, mode);
  if (!raster) return nullptr;
  scaled_ = Scaled{size, background, mode, std::move(*raster)};
  return &scaled_->raster;
}

void PicBox::DrawAnimation(Raster& out, ResampleMode mode) {
  const Size client = SizeOf(out);
  if (!player_->started()) {
    player_->Start(client);
    return;
  }
  player_->SetClientSize(client);
  const Rect placement = PlacementRect(settings_.show_mode, player_->screen(), client);
  if (placement.empty()) return;
  player_->WithCanvas([&](const Raster& canvas) {
    if (SizeOf(canvas) == Size{placement.width, placement.height}) return Blit(canvas, out, placement.x, placement.y);
    auto scaled = Resample(canvas, placement.width, placement.height, mode);
    if (scaled) Blit(*scaled, out, placement.x, placement.y);
  });
}

}  // namespace pictorin
