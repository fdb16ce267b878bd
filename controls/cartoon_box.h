#pragma once
// CartoonBox, the layered picture canvas: a background (colour and picture in
// one of four display modes) with picture objects stacked above it, blended
// pixel by pixel through their transparency.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_host.h"
#include "controls/picture_store.h"
#include "controls/property.h"
#include "imaging/picture.h"

namespace pictorin {

// The canvas's own settings, numbered from 8 in this order.
struct CartoonBoxSettings {
  std::int32_t border = 0;                 // 8
  std::int32_t back_color = static_cast<std::int32_t>(kNoColour);  // 9, BackColor
  Bytes pic;                               // 10
  std::int32_t pic_draw_mode = 0;          // 11, PicDrawMode
  std::int32_t pen_style = 1;              // 12..20: drawing settings, stored only
  std::int32_t draw_rop2 = 12;
  std::int32_t pen_width = 0;
  std::int32_t pen_color = 0;
  std::int32_t brush_style = 1;
  std::int32_t brush_color = 0x00FFFFFF;
  std::int32_t text_color = 0;
  std::int32_t text_back_color = static_cast<std::int32_t>(kNoColour);
  Bytes font;
};

// The settings record: version 2 with every field, as the window layout keeps it.
Bytes WriteCartoonBoxRecord(const CartoonBoxSettings& settings);

// A picture object. Objects made without a template keep the neutral values
// of every field this canvas does not use (no transformation, no movement).
struct CanvasObject {
  std::int32_t identifier = 0;
  double left = 0;
  double top = 0;
  bool visible = true;
  std::int32_t current_frame = 0;
  PictureStore::Entry* picture = nullptr;
  PictureStore::Entry* display = nullptr;  // shares the picture: no transformations
  std::int32_t alpha = 0;                  // percent: 0 opaque, 100 fully transparent
  std::int32_t layer = 0;
  std::string tag;
};

// Puts the object before the first one of a higher layer, so equal layers
// keep their creation order.
void InsertByLayer(std::vector<CanvasObject>& objects, CanvasObject object);

class CartoonBox : public NumberedProperties {
 public:
  // Nothing when the record is refused: a version other than 0, 1 or 2, or a
  // record that ends before its fields. An empty record keeps the defaults.
  static std::unique_ptr<CartoonBox> Make(ByteView record, ControlHost& host);
  ~CartoonBox() override;

  bool WriteProperty(int number, const PropertyValue& value) override;
  std::optional<PropertyValue> ReadProperty(int number) const override;

  // A new object without picture; returns its identifier (1, 2, ...).
  std::int32_t CreateObject(std::int32_t left, std::int32_t top, bool visible = true, std::string tag = "");

  // Decodes the bytes as the object's picture. transparent: -1 none, -2 the
  // top-left pixel's colour, else that colour. Unknown identifiers do nothing.
  void SetObjectPicture(std::int32_t identifier, ByteView bytes, std::int32_t transparent = -1);

  // The client area changed size: rebuild the background layer.
  void Resized();

  // Composes the clip box (cut to the client area) and returns it, each
  // pixel's fourth byte 0; an empty raster when there is nothing to paint.
  Raster Paint(const Rect& clip);

  const CartoonBoxSettings& settings() const { return settings_; }
  const std::vector<CanvasObject>& objects() const { return objects_; }
  std::size_t stored_pictures() const { return store_.size(); }

 private:
  explicit CartoonBox(ControlHost& host) : host_(host) {}

  void BuildBackgroundLayer();
  void MarkObject(const CanvasObject& object);
  Rect ObjectArea(const CanvasObject& object) const;
  std::size_t FirstObjectToBlend(const Rect& box) const;
  void BlendObject(const CanvasObject& object, const Rect& box, Raster& buffer) const;

  ControlHost& host_;
  CartoonBoxSettings settings_;
  std::optional<Raster> layer_;
  std::vector<CanvasObject> objects_;
  std::int32_t next_identifier_ = 1;
  PictureStore store_;
};

}  // namespace pictorin
