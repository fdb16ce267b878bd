#pragma once
// The picture box: shows one picture file over a solid background colour,
// placed by its display mode, and plays animated GIFs with a player of its
// own. It paints into a raster and reaches its window only through its host.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "controls/control_host.h"
#include "controls/gif_player.h"
#include "controls/property.h"
#include "imaging/bytes.h"
#include "imaging/picture.h"
#include "imaging/resample.h"
#include "imaging/result.h"

namespace pictorin {

// Where a picture of the given size goes in the client area. Mode 1 stretches
// it onto the whole area; mode 2 centres it, shrunk with its proportions kept
// where it is larger than the area, never enlarged; any other mode places it
// at its natural size in the top-left corner. Empty when a side is below 1.
Rect PlacementRect(int mode, Size picture, Size client);

class PicBox : public NumberedProperties {
 public:
  enum PropertyNumber : int {
    kBorderStyle = 8,
    kBackgroundColor = 9,
    kPictureFile = 10,
    kShowMode = 11,
    kPlayAnimation = 12,
    kPictureSource = 13,
    kPictureSourceItem = 14,
  };

  // Reads the settings record (an empty one keeps the defaults), shows its
  // picture and applies its display mode and border style. A record of a
  // version above 2 is refused, and so is one that ends before its fields.
  static Result<std::unique_ptr<PicBox>> Make(ByteView record, ControlHost& host);

  ~PicBox() override = default;
  PicBox(const PicBox&) = delete;
  PicBox& operator=(const PicBox&) = delete;

  // Numbers 8 to 14; writes take effect at once.
  bool WriteProperty(int number, const PropertyValue& value) override;
  std::optional<PropertyValue> ReadProperty(int number) const override;

  // The whole client area as it shows now: the background, and the picture in
  // its placement rectangle. The first paint after an animated GIF is shown
  // starts its player and shows the background only. Fails when the client
  // area is empty or cannot be had.
  Result<Raster> Paint();

  // True while the shown picture is an animated GIF, played by its player.
  bool animated() const { return player_ != nullptr; }

 private:
  struct Settings {
    std::int32_t border_style = 0;
    Colour background = kNoColour;
    Bytes picture_file;
    std::int32_t show_mode = 0;  // the placement in effect
    bool play_animation = true;
    std::string picture_source;
    std::string picture_source_item;
  };

  // A still picture scaled to a placement size, for repaints.
  struct Scaled {
    Size size;
    Colour background = kNoColour;
    ResampleMode mode = ResampleMode::kHalftone;
    Raster raster;
  };

  static Result<Settings> ReadSettings(ByteView record);

  PicBox(ControlHost& host, Settings settings);

  void Show();
  void ShowGif();
  void ApplyShowMode(std::int32_t mode);
  void ResizeToPicture();
  void MarkWholeClient();
  Colour BackgroundFill() const;

  void DrawStill(Raster& out, Colour background, ResampleMode mode);
  const Raster* ScaledStill(Size size, Colour background, ResampleMode mode);
  void DrawAnimation(Raster& out, ResampleMode mode);

  ControlHost& host_;
  Settings settings_;
  bool effective_animation_ = true;

  // The shown picture: none, a still one (a single-image GIF among them), or
  // an animated GIF.
  std::optional<StillPicture> still_;
  std::unique_ptr<GifPlayer> player_;
  bool shown_gif_ = false;
  std::optional<Scaled> scaled_;
};

}  // namespace pictorin
