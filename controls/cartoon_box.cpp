#include "controls/cartoon_box.h"

#include <algorithm>
#include <cstring>

#include "controls/raster_ops.h"
#include "controls/record_reader.h"
#include "controls/record_writer.h"
#include "imaging/checked.h"
#include "imaging/resample.h"

namespace pictorin {
namespace {

// An integer setting: its number, where it lives and the range a write is
// clamped into.
struct IntSetting {
  int number;
  std::int32_t CartoonBoxSettings::*field;
  std::int32_t low;
  std::int32_t high;
};

constexpr std::int32_t kAny = INT32_MIN;
constexpr std::int32_t kAll = INT32_MAX;

constexpr IntSetting kIntSettings[] = {
    {8, &CartoonBoxSettings::border, 0, 5},
    {9, &CartoonBoxSettings::back_color, kAny, kAll},
    {11, &CartoonBoxSettings::pic_draw_mode, 0, 3},
    {12, &CartoonBoxSettings::pen_style, 0, 6},
    {13, &CartoonBoxSettings::draw_rop2, 0, 15},
    {14, &CartoonBoxSettings::pen_width, 0, 32767},
    {15, &CartoonBoxSettings::pen_color, kAny, kAll},
    {16, &CartoonBoxSettings::brush_style, 0, 55},
    {17, &CartoonBoxSettings::brush_color, kAny, kAll},
    {18, &CartoonBoxSettings::text_color, kAny, kAll},
    {19, &CartoonBoxSettings::text_back_color, kAny, kAll},
};

const IntSetting* FindIntSetting(int number) {
  for (const IntSetting& setting : kIntSettings) {
    if (setting.number == number) return &setting;
  }
  return nullptr;
}

// Reads the record's fields in order; false when it ends too early.
bool ReadRecordFields(RecordReader& reader, std::int32_t version, CartoonBoxSettings& s) {
  for (std::int32_t* field : {&s.border, &s.back_color, &s.pic_draw_mode}) {
    auto value = reader.Int();
    if (!value) return false;
    *field = *value;
  }
  if (version == 2) {
    for (std::int32_t* field : {&s.pen_style, &s.draw_rop2, &s.pen_width, &s.pen_color, &s.brush_style,
                                &s.brush_color, &s.text_color, &s.text_back_color}) {
      auto value = reader.Int();
      if (!value) return false;
      *field = *value;
    }
    auto font = reader.Blob();
    if (!font) return false;
    s.font = std::move(*font);
  }
  auto pic = reader.Blob();
  if (!pic) return false;
  s.pic = std::move(*pic);
  return true;
}

bool Drawable(const CanvasObject& object) {
  return object.visible && object.display != nullptr;
}

const Frame& CurrentFrame(const CanvasObject& object) {
  return object.display->picture.frames[static_cast<std::size_t>(object.current_frame)];
}

// Blends source pixel s over d: a pixel of the transparent colour is not
// drawn; otherwise the object's alpha and the pixel's transparency together
// decide how much of s shows.
void BlendPixel(const std::uint8_t* s, std::uint8_t* d, Colour transparent, std::int32_t alpha255) {
  if (transparent != kNoColour && MakeColour(s[2], s[1], s[0]) == transparent) return;
  const std::int32_t l = alpha255 + s[3];
  if (l <= 0) {
    std::memcpy(d, s, 4);
  } else if (l < 255) {
    for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(d[c] + MulDiv(s[c] - d[c], 255 - l, 255));
  }
}

// True when every pixel of the frame inside the box (in client coordinates,
// the frame's top-left at origin) has transparency 0.
bool OpaqueInside(const Frame& frame, std::int32_t frame_width, Rect origin, const Rect& box) {
  for (std::int32_t y = box.y; y < box.y + box.height; ++y) {
    const std::uint8_t* row = frame.pixels.data() + (static_cast<std::size_t>(y - origin.y) * frame_width +
                                                     static_cast<std::size_t>(box.x - origin.x)) * 4;
    for (std::int32_t x = 0; x < box.width; ++x) {
      if (row[x * 4 + 3] != 0) return false;
    }
  }
  return true;
}

}  // namespace

Bytes WriteCartoonBoxRecord(const CartoonBoxSettings& s) {
  RecordWriter record;
  record.Int(2);
  for (std::int32_t value : {s.border, s.back_color, s.pic_draw_mode, s.pen_style, s.draw_rop2, s.pen_width,
                             s.pen_color, s.brush_style, s.brush_color, s.text_color, s.text_back_color}) {
    record.Int(value);
  }
  return record.Blob(s.font).Blob(s.pic).Take();
}

void InsertByLayer(std::vector<CanvasObject>& objects, CanvasObject object) {
  auto higher = std::find_if(objects.begin(), objects.end(),
                             [&](const CanvasObject& other) { return other.layer > object.layer; });
  objects.insert(higher, std::move(object));
}

std::unique_ptr<CartoonBox> CartoonBox::Make(ByteView record, ControlHost& host) {
  std::unique_ptr<CartoonBox> box(new CartoonBox(host));
  if (!record.empty()) {
    RecordReader reader(record);
    auto version = reader.Int();
    if (!version || *version < 0 || *version > 2) return nullptr;
    if (!ReadRecordFields(reader, *version, box->settings_)) return nullptr;
  }
  const std::int32_t border = box->settings_.border;
  host.ApplyBorderStyle(border >= 0 && border <= 5 ? border : 0);
  box->BuildBackgroundLayer();
  return box;
}

CartoonBox::~CartoonBox() = default;

bool CartoonBox::WriteProperty(int number, const PropertyValue& value) {
  if (const auto* bytes = std::get_if<Bytes>(&value)) {
    if (number != 10 && number != 20) return false;
    (number == 10 ? settings_.pic : settings_.font) = *bytes;
    if (number == 20) return true;
  } else if (const auto* integer = std::get_if<std::int32_t>(&value)) {
    const IntSetting* setting = FindIntSetting(number);
    if (!setting) return false;
    settings_.*setting->field = std::clamp(*integer, setting->low, setting->high);
    if (number == 8) host_.ApplyBorderStyle(settings_.border);
    if (number != 9 && number != 11) return true;
  } else {
    return false;
  }
  // BackColor, pic and PicDrawMode: the background is laid out again at once.
  BuildBackgroundLayer();
  const Size client = host_.ClientSize();
  host_.MarkForRepaint({0, 0, client.width, client.height});
  return true;
}

std::optional<PropertyValue> CartoonBox::ReadProperty(int number) const {
  if (number == 10) return settings_.pic;
  if (number == 20) return settings_.font;
  if (const IntSetting* setting = FindIntSetting(number)) return settings_.*setting->field;
  return std::nullopt;
}

std::int32_t CartoonBox::CreateObject(std::int32_t left, std::int32_t top, bool visible, std::string tag) {
  CanvasObject object;
  object.identifier = next_identifier_++;
  object.left = left;
  object.top = top;
  object.visible = visible;
  object.tag = std::move(tag);
  InsertByLayer(objects_, std::move(object));
  return next_identifier_ - 1;
}

void CartoonBox::SetObjectPicture(std::int32_t identifier, ByteView bytes, std::int32_t transparent) {
  auto found = std::find_if(objects_.begin(), objects_.end(),
                            [&](const CanvasObject& object) { return object.identifier == identifier; });
  if (identifier <= 0 || found == objects_.end()) return;
  CanvasObject& object = *found;
  MarkObject(object);
  store_.Release(object.display);
  store_.Release(object.picture);
  object.display = object.picture = nullptr;
  object.current_frame = 0;

  const bool automatic = transparent == -2;
  const Colour colour = transparent < 0 && transparent >= -2 ? kNoColour : static_cast<Colour>(transparent);
  auto picture = DecodePicture(bytes, colour, automatic);
  if (!picture) return;
  object.picture = store_.Add(std::move(*picture));
  object.display = store_.AddUse(object.picture);
  MarkObject(object);
}

void CartoonBox::Resized() { BuildBackgroundLayer(); }

void CartoonBox::BuildBackgroundLayer() {
  layer_.reset();
  const Size client = host_.ClientSize();
  auto layer = MakeRaster(client.width, client.height);
  if (!layer) return;
  const Colour background = static_cast<Colour>(settings_.back_color) == kNoColour
                                ? host_.ButtonFaceColour()
                                : static_cast<Colour>(settings_.back_color);
  auto picture = settings_.pic.empty() ? Result<Raster>(Failure::kEmpty) : RenderPictureBitmap(settings_.pic);
  if (!picture) {
    Fill(*layer, background);
  } else if (settings_.pic_draw_mode == 1) {
    auto stretched = Resample(*picture, client.width, client.height, ResampleModeForDepth(host_.DisplayDepth()));
    if (stretched) {
      layer = std::move(stretched);
    } else {
      Fill(*layer, background);
    }
  } else if (settings_.pic_draw_mode == 3) {
    for (std::int32_t y = 0; y < client.height; y += picture->height) {
      for (std::int32_t x = 0; x < client.width; x += picture->width) Blit(*picture, *layer, x, y);
    }
  } else {
    Fill(*layer, background);
    const bool centred = settings_.pic_draw_mode == 2;
    Blit(*picture, *layer, centred ? (client.width - picture->width) / 2 : 0,
         centred ? (client.height - picture->height) / 2 : 0);
  }
  layer_ = std::move(*layer);
}

Rect CartoonBox::ObjectArea(const CanvasObject& object) const {
  const Picture& picture = object.display->picture;
  return {static_cast<std::int32_t>(object.left), static_cast<std::int32_t>(object.top), picture.width,
          picture.height};
}

void CartoonBox::MarkObject(const CanvasObject& object) {
  if (!Drawable(object)) return;
  const Rect area = ObjectArea(object);
  if (!area.empty()) host_.MarkForRepaint(area);
}

// The topmost object whose opaque pixels cover the whole box hides all below
// it, so blending starts there; the pixels are those of blending from the
// bottom, since an opaque pixel replaces what lies beneath it entirely.
std::size_t CartoonBox::FirstObjectToBlend(const Rect& box) const {
  for (std::size_t i = objects_.size(); i-- > 0;) {
    const CanvasObject& object = objects_[i];
    if (!Drawable(object) || object.alpha != 0) continue;
    const Rect area = ObjectArea(object);
    if (Intersect(area, box) != box) continue;
    const Frame& frame = CurrentFrame(object);
    if (frame.transparent != kNoColour) continue;
    if (object.display->opaque_frames[static_cast<std::size_t>(object.current_frame)] ||
        OpaqueInside(frame, area.width, area, box)) {
      return i;
    }
  }
  return 0;
}

void CartoonBox::BlendObject(const CanvasObject& object, const Rect& box, Raster& buffer) const {
  const Rect area = ObjectArea(object);
  const Rect part = Intersect(area, box);
  if (part.empty()) return;
  const Frame& frame = CurrentFrame(object);
  const std::int32_t alpha255 = MulDiv(object.alpha, 255, 100);
  for (std::int32_t y = part.y; y < part.y + part.height; ++y) {
    const std::uint8_t* s = frame.pixels.data() + (static_cast<std::size_t>(y - area.y) * area.width +
                                                   static_cast<std::size_t>(part.x - area.x)) * 4;
    std::uint8_t* d = buffer.pixels.data() + (static_cast<std::size_t>(y - box.y) * box.width +
                                              static_cast<std::size_t>(part.x - box.x)) * 4;
    for (std::int32_t x = 0; x < part.width; ++x, s += 4, d += 4) BlendPixel(s, d, frame.transparent, alpha255);
  }
}

Raster CartoonBox::Paint(const Rect& clip) {
  const Size client = host_.ClientSize();
  const Rect box = Intersect(clip, {0, 0, client.width, client.height});
  if (box.empty()) return {};
  if (!layer_ || layer_->width != client.width || layer_->height != client.height) BuildBackgroundLayer();
  auto buffer = MakeRaster(box.width, box.height);
  if (!buffer) return {};
  if (layer_) Blit(*layer_, *buffer, -box.x, -box.y);
  for (std::size_t i = FirstObjectToBlend(box); i < objects_.size(); ++i) {
    if (Drawable(objects_[i])) BlendObject(objects_[i], box, *buffer);
  }
  ClearFourthBytes(*buffer);
  return std::move(*buffer);
}

}  // namespace pictorin
