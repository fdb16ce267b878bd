// The panels' steps as pictorin-cli runs them: what the composer and the
// resizer save for the cases a user meets.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/layout.h"
#include "app/offline.h"
#include "app/panels.h"
#include "assets/builtin.h"
#include "imaging/resample.h"
#include "io/snapshot.h"
#include "tests/support/encoders.h"
#include "tests/support/gif_builder.h"
#include "tests/support/reference_canvas.h"

namespace pictorin {
namespace {

// A photograph-like JPEG of the given size.
Bytes Photo(int width, int height) {
  test::JpegOptions options;
  options.width = width;
  options.height = height;
  options.sample = [](int x, int y, int c) -> std::uint16_t {
    return static_cast<std::uint8_t>(x * (c + 2) + y * (3 - c) + ((x / 7 + y / 5) % 2) * 40);
  };
  return test::EncodeJpeg(options);
}

Picture Decoded(ByteView bytes) { return std::move(*DecodePicture(bytes, kNoColour, false)); }

// The pixels of a saved BMP file, as a 100×100 raster.
Raster SavedPixels(const Result<Bytes>& saved) {
  EXPECT_TRUE(saved);
  EXPECT_EQ(saved->size(), 30054u);
  Picture picture = Decoded(*saved);
  return {picture.width, picture.height, std::move(picture.frames[0].pixels)};
}

Colour At(const Raster& raster, int x, int y) {
  const std::uint8_t* p = &raster.pixels[(static_cast<std::size_t>(y) * raster.width + x) * 4];
  return MakeColour(p[2], p[1], p[0]);
}

Colour At(const Picture& picture, int x, int y) {
  const std::uint8_t* p = &picture.frames[0].pixels[(static_cast<std::size_t>(y) * picture.width + x) * 4];
  return MakeColour(p[2], p[1], p[0]);
}

// What the canvas shows, composed the plain way from a background and
// pictures placed at (0, 0), as a saved file's pixels.
Raster Expected(const Raster& background, std::vector<ByteView> pictures) {
  std::vector<test::PlacedPicture> objects;
  for (ByteView bytes : pictures) {
    Picture picture = Decoded(bytes);
    const Rect area{0, 0, picture.width, picture.height};
    objects.push_back({area, std::move(picture)});
  }
  Raster composed = test::ReferenceCompose(background, objects, {0, 0, 100, 100});
  return SavedPixels(SavedPicture(composed, 32));
}

Raster Stretched(ByteView bytes) {
  auto still = RenderPictureBitmap(bytes);
  return std::move(*Resample(*still, 100, 100, ResampleMode::kHalftone));
}

TEST(Composer, SaveRightAfterStartHoldsTheDefaultPicture) {
  class Host : public ControlHost {
    void MarkForRepaint(const Rect&) override {}
    Size ClientSize() const override { return {100, 100}; }
    Colour ButtonFaceColour() const override { return kButtonFaceColour; }
    int DisplayDepth() const override { return 32; }
    void ApplyBorderStyle(int) override {}
    void ResizeClient(Size) override {}
  } host;
  auto canvas = CartoonBox::Make(CanvasRecord(), host);
  ASSERT_TRUE(canvas);
  SeedCanvas(*canvas);
  const Raster saved = SavedPixels(SavedPicture(canvas->Paint({0, 0, 100, 100}), 32));
  EXPECT_EQ(saved.pixels, Expected(Stretched(DefaultCanvasPicture()), {DefaultCanvasPicture()}).pixels);
}

TEST(Composer, SquarePhotoThenSvipShowsThePhotoUnderTheBadge) {
  const Bytes photo = Photo(100, 100);
  const Raster saved = SavedPixels(ComposeOffline(photo, std::vector{Badge::kSvip}));
  EXPECT_EQ(saved.pixels, Expected(Stretched(photo), {photo, SvipBadge()}).pixels);
}

TEST(Composer, SecondBadgeHidesTheFirstUnderAFreshCopy) {
  const Bytes photo = Photo(100, 100);
  EXPECT_EQ(*ComposeOffline(photo, std::vector{Badge::kRedDiamond, Badge::kIPhone}),
            *ComposeOffline(photo, std::vector{Badge::kIPhone}));
}

TEST(Composer, LargerPhotoShowsItsTopLeftAtNaturalSize) {
  const Bytes photo = Photo(160, 120);
  const Raster saved = SavedPixels(ComposeOffline(photo, std::vector{Badge::kMember}));
  EXPECT_EQ(saved.pixels, Expected(Stretched(photo), {photo, MemberBadge()}).pixels);
  EXPECT_EQ(At(saved, 5, 5), At(Decoded(photo), 5, 5));
}

// The seed object made at start (the default picture, 100×100, opaque) lies
// above the background for the life of the window, so beside a smaller copy
// it is the seed that shows, not the stretched background.
TEST(Composer, BesideASmallPhotoTheSeedObjectShows) {
  const Bytes photo = Photo(50, 50);
  const Raster saved = SavedPixels(ComposeOffline(photo, std::vector{Badge::kSvip}));
  EXPECT_EQ(saved.pixels,
            Expected(Stretched(photo), {DefaultCanvasPicture(), photo, SvipBadge()}).pixels);
  const Picture seed = Decoded(DefaultCanvasPicture());
  EXPECT_EQ(At(saved, 75, 75), At(seed, 75, 75));
  EXPECT_EQ(At(saved, 20, 30), At(Decoded(photo), 20, 30));
}

TEST(Composer, PngPhotoShowsInTheCopyThoughNotAsBackground) {
  test::PngOptions options;
  options.width = options.height = 100;
  options.sample = [](int x, int y, int c) -> std::uint16_t { return c == 3 ? 255 : static_cast<std::uint8_t>(x + y * c); };
  const Bytes png = test::EncodePng(options);
  const Raster saved = SavedPixels(ComposeOffline(png, std::vector{Badge::kIPhone}));
  EXPECT_EQ(At(saved, 10, 10), At(Decoded(png), 10, 10));
}

TEST(Composer, BytesThatAreNoPictureAreRefused) {
  const Bytes text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
  EXPECT_FALSE(ComposeOffline(text, std::vector{Badge::kSvip}));
}

TEST(Resizer, AnyPictureIsStretchedOntoTheBox) {
  const Bytes photo = Photo(400, 300);
  const Raster saved = SavedPixels(ResizeOffline(photo));
  EXPECT_EQ(saved.pixels, SavedPixels(SavedPicture(Stretched(photo), 32)).pixels);
}

TEST(Resizer, PngCannotBeShownAndIsRefused) {
  test::PngOptions options;
  options.sample = [](int, int, int) -> std::uint16_t { return 200; };
  EXPECT_FALSE(ResizeOffline(test::EncodePng(options)));
}

TEST(Resizer, AnimatedGifSavesItsFirstImageOnWhite) {
  // A 100×100 screen; the first image fills the top half in red, the second
  // the bottom half in blue.
  auto half = [](int top, std::uint8_t index) {
    test::GifImageSpec image;
    image.top = top;
    image.width = 100;
    image.height = 50;
    image.indices.assign(100 * 50, index);
    return image;
  };
  const Bytes gif = test::GifBuilder(100, 100, {MakeColour(255, 0, 0), MakeColour(0, 0, 255)})
                        .Control(0, 20)
                        .Image(half(0, 0))
                        .Control(0, 20)
                        .Image(half(50, 1))
                        .Trailer()
                        .bytes();
  const Raster saved = SavedPixels(ResizeOffline(gif));
  EXPECT_EQ(At(saved, 50, 10), MakeColour(255, 0, 0));
  EXPECT_EQ(At(saved, 50, 90), MakeColour(255, 255, 255));
}

}  // namespace
}  // namespace pictorin
