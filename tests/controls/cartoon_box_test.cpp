#include "controls/cartoon_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "imaging/checked.h"
#include "tests/support/encoders.h"
#include "tests/support/reference_canvas.h"

namespace pictorin {
namespace {

constexpr Colour kButtonFace = MakeColour(212, 208, 200);

class RecordingHost : public ControlHost {
 public:
  void MarkForRepaint(const Rect& area) override { marked.push_back(area); }
  Size ClientSize() const override { return client; }
  Colour ButtonFaceColour() const override { return kButtonFace; }
  int DisplayDepth() const override { return 32; }
  void ApplyBorderStyle(int style) override { borders.push_back(style); }
  void ResizeClient(Size) override {}

  Size client{100, 100};
  std::vector<Rect> marked;
  std::vector<int> borders;
};

// A 24-bit bottom-up BMP whose pixel (x, y) is red x, green y, blue 7.
Bytes PositionBmp(int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  Bytes file(54 + static_cast<std::size_t>(stride) * height, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));  // file size
  put32(10, 54);                                       // pixel data offset
  put32(14, 40);                                       // information header size
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));       // positive: bottom-up
  file[26] = 1;                                        // planes
  file[28] = 24;                                       // bits per pixel
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = &file[54 + static_cast<std::size_t>(height - 1 - y) * stride];
    for (int x = 0; x < width; ++x) {
      row[x * 3] = 7;
      row[x * 3 + 1] = static_cast<std::uint8_t>(y);
      row[x * 3 + 2] = static_cast<std::uint8_t>(x);
    }
  }
  return file;
}

struct Rgba {
  std::uint8_t r, g, b, a;
};

// An RGBA PNG of one colour and alpha.
Bytes SolidPng(int width, int height, Rgba colour) {
  test::PngOptions options;
  options.width = width;
  options.height = height;
  options.sample = [colour](int, int, int c) -> std::uint16_t {
    const std::uint8_t values[4] = {colour.r, colour.g, colour.b, colour.a};
    return values[c];
  };
  return test::EncodePng(options);
}

Colour PixelAt(const Raster& raster, int x, int y) {
  const std::uint8_t* p = &raster.pixels[(static_cast<std::size_t>(y) * raster.width + x) * 4];
  return MakeColour(p[2], p[1], p[0]);
}

Colour Position(int x, int y) { return MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7); }

// A canvas with the given background settings, made through its record.
std::unique_ptr<CartoonBox> MakeCanvas(RecordingHost& host, const CartoonBoxSettings& settings) {
  return CartoonBox::Make(WriteCartoonBoxRecord(settings), host);
}

Raster PaintAll(CartoonBox& box) { return box.Paint({0, 0, 100, 100}); }

TEST(CartoonBoxRecord, DefaultsWithoutRecord) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->ReadProperty(9), PropertyValue(static_cast<std::int32_t>(kNoColour)));
  EXPECT_EQ(box->ReadProperty(13), PropertyValue(12));
  EXPECT_EQ(box->ReadProperty(17), PropertyValue(0x00FFFFFF));
  EXPECT_EQ(PixelAt(PaintAll(*box), 50, 50), kButtonFace);
}

// A record of the given version: border 3, BackColor 0x123456, mode 2, then
// (version 2) the drawing settings and an empty font, then pic.
Bytes Record(std::int32_t version, std::vector<std::int32_t> tail) {
  Bytes out;
  auto put = [&](std::int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
  };
  put(version);
  for (std::int32_t v : tail) put(v);
  return out;
}

struct RecordCase {
  const char* name;
  Bytes record;
  bool accepted;
  std::int32_t pen_style;  // what property 12 reads afterwards
};

class CartoonBoxRecordTest : public testing::TestWithParam<RecordCase> {};

TEST_P(CartoonBoxRecordTest, VersionsAndLengths) {
  RecordingHost host;
  auto box = CartoonBox::Make(GetParam().record, host);
  ASSERT_EQ(box != nullptr, GetParam().accepted);
  if (!box) return;
  EXPECT_EQ(box->ReadProperty(8), PropertyValue(3));
  EXPECT_EQ(box->ReadProperty(9), PropertyValue(0x123456));
  EXPECT_EQ(box->ReadProperty(11), PropertyValue(2));
  EXPECT_EQ(box->ReadProperty(12), PropertyValue(GetParam().pen_style));
  EXPECT_EQ(box->ReadProperty(10), PropertyValue(Bytes{}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CartoonBoxRecordTest,
    testing::Values(
        RecordCase{"version0", Record(0, {3, 0x123456, 2, 0}), true, 1},
        RecordCase{"version1_negative_pic_length", Record(1, {3, 0x123456, 2, -5}), true, 1},
        RecordCase{"version2", Record(2, {3, 0x123456, 2, 4, 12, 0, 0, 1, 0, 0, 0, 0, 0}), true, 4},
        RecordCase{"version3_refused", Record(3, {3, 0x123456, 2, 0}), false, 0},
        RecordCase{"negative_version_refused", Record(-1, {3, 0x123456, 2, 0}), false, 0},
        RecordCase{"ends_early_refused", Record(1, {3, 0x123456}), false, 0},
        RecordCase{"pic_past_end_refused", Record(1, {3, 0x123456, 2, 100}), false, 0}),
    [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST(CartoonBoxRecord, BorderAppliedThroughTheHostOutOfRangeAsNone) {
  RecordingHost host;
  auto box = CartoonBox::Make(Record(0, {9, 0, 0, 0}), host);
  ASSERT_TRUE(box);
  EXPECT_THAT(host.borders, testing::ElementsAre(0));
  EXPECT_EQ(box->ReadProperty(8), PropertyValue(9));
}

struct ClampCase {
  int number;
  std::int32_t written;
  std::int32_t stored;
};

class CartoonBoxClampTest : public testing::TestWithParam<ClampCase> {};

TEST_P(CartoonBoxClampTest, WritesAreClamped) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  ASSERT_TRUE(box->WriteProperty(GetParam().number, GetParam().written));
  EXPECT_EQ(box->ReadProperty(GetParam().number), PropertyValue(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(Table, CartoonBoxClampTest,
                         testing::Values(ClampCase{11, 7, 3}, ClampCase{11, -1, 0}, ClampCase{8, 9, 5},
                                         ClampCase{8, -3, 0}, ClampCase{12, 7, 6}, ClampCase{13, 16, 15},
                                         ClampCase{14, 40000, 32767}, ClampCase{16, 56, 55},
                                         ClampCase{15, -1, -1}, ClampCase{9, 0x00FF00FF, 0x00FF00FF}));

TEST(CartoonBoxProperties, WrongNumberOrTypeChangesNothing) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  EXPECT_FALSE(box->WriteProperty(21, 1));
  EXPECT_FALSE(box->WriteProperty(10, 1));
  EXPECT_FALSE(box->WriteProperty(11, Bytes{1}));
  EXPECT_FALSE(box->WriteProperty(9, std::string("red")));
  EXPECT_EQ(box->ReadProperty(7), std::nullopt);
  EXPECT_TRUE(host.marked.empty());
}

TEST(CartoonBoxProperties, EveryBackgroundWriteRepaintsAllEvenUnchanged) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  box->WriteProperty(11, 1);
  box->WriteProperty(11, 1);
  box->WriteProperty(9, 0);
  box->WriteProperty(10, Bytes{});
  box->WriteProperty(12, 3);  // drawing settings repaint nothing
  EXPECT_THAT(host.marked, testing::Each(Rect{0, 0, 100, 100}));
  EXPECT_EQ(host.marked.size(), 4u);
}

TEST(CartoonBoxProperties, PicReadsBackExactlyEvenWhenItDoesNotDecode) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  const Bytes png = SolidPng(4, 4, {255, 0, 0, 255});
  box->WriteProperty(9, 0);
  box->WriteProperty(10, png);
  EXPECT_EQ(box->ReadProperty(10), PropertyValue(png));
  EXPECT_EQ(PixelAt(PaintAll(*box), 2, 2), 0u) << "a PNG background is no picture";
}

TEST(CartoonBoxBackground, StretchedPictureOfEqualSizeIsUnchanged) {
  RecordingHost host;
  CartoonBoxSettings settings;
  settings.pic = PositionBmp(100, 100);
  settings.pic_draw_mode = 1;
  auto box = MakeCanvas(host, settings);
  const Raster painted = PaintAll(*box);
  for (int y : {0, 37, 99}) {
    for (int x : {0, 61, 99}) EXPECT_EQ(PixelAt(painted, x, y), Position(x, y));
  }
}

TEST(CartoonBoxBackground, StretchedPictureFillsTheClient) {
  RecordingHost host;
  CartoonBoxSettings settings;
  settings.pic = PositionBmp(10, 10);
  settings.pic_draw_mode = 1;
  auto box = MakeCanvas(host, settings);
  const Raster painted = PaintAll(*box);
  EXPECT_EQ(PixelAt(painted, 0, 0), Position(0, 0));
  EXPECT_EQ(PixelAt(painted, 99, 99), Position(9, 9));
}

struct ModeCase {
  const char* name;
  int mode;
  int picture_width;
  int picture_height;
  // Points of the client and the picture pixel shown there (or -1: background).
  std::vector<std::array<int, 4>> points;
};

class CartoonBoxModeTest : public testing::TestWithParam<ModeCase> {};

TEST_P(CartoonBoxModeTest, PlacesThePicture) {
  RecordingHost host;
  CartoonBoxSettings settings;
  settings.pic = PositionBmp(GetParam().picture_width, GetParam().picture_height);
  settings.pic_draw_mode = GetParam().mode;
  auto box = MakeCanvas(host, settings);
  const Raster painted = PaintAll(*box);
  for (const auto& [x, y, px, py] : GetParam().points) {
    EXPECT_EQ(PixelAt(painted, x, y), px < 0 ? kButtonFace : Position(px, py)) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CartoonBoxModeTest,
    testing::Values(
        ModeCase{"top_left_50", 0, 50, 50, {{0, 0, 0, 0}, {49, 49, 49, 49}, {50, 10, -1, 0}, {10, 50, -1, 0}}},
        ModeCase{"top_left_150_cut", 0, 150, 150, {{99, 99, 99, 99}}},
        ModeCase{"centred_33", 2, 33, 33, {{33, 33, 0, 0}, {65, 65, 32, 32}, {32, 33, -1, 0}, {66, 66, -1, 0}}},
        ModeCase{"centred_151", 2, 151, 151, {{0, 0, 25, 25}, {99, 99, 124, 124}}},
        ModeCase{"tiled_30x40", 3, 30, 40,
                 {{0, 0, 0, 0}, {30, 0, 0, 0}, {95, 85, 5, 5}, {99, 99, 9, 19}, {29, 39, 29, 39}, {60, 80, 0, 0}}},
        ModeCase{"out_of_range_mode_as_top_left", 9, 50, 50, {{0, 0, 0, 0}, {50, 50, -1, 0}}}),
    [](const testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST(CartoonBoxBackground, ResizeRebuildsAtTheNewSize) {
  RecordingHost host;
  CartoonBoxSettings settings;
  settings.pic = PositionBmp(10, 10);
  settings.pic_draw_mode = 1;
  auto box = MakeCanvas(host, settings);
  host.client = {20, 20};
  box->Resized();
  const Raster painted = box->Paint({0, 0, 100, 100});
  EXPECT_EQ(painted.width, 20);
  EXPECT_EQ(PixelAt(painted, 19, 19), Position(9, 9));
  host.client = {0, 20};
  EXPECT_TRUE(box->Paint({0, 0, 100, 100}).pixels.empty());
}

TEST(CartoonBoxObjects, IdentifiersCountFromOneAndUnknownOnesDoNothing) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  EXPECT_EQ(box->CreateObject(0, 0), 1);
  EXPECT_EQ(box->CreateObject(0, 0), 2);
  EXPECT_TRUE(host.marked.empty()) << "an object without picture marks nothing";
  const Bytes png = SolidPng(4, 4, {1, 2, 3, 255});
  for (std::int32_t id : {0, -1, 3}) box->SetObjectPicture(id, png);
  EXPECT_EQ(box->stored_pictures(), 0u);
  EXPECT_TRUE(host.marked.empty());
  EXPECT_EQ(box->CreateObject(0, 0), 3);
}

TEST(CartoonBoxObjects, EqualLayersKeepCreationOrderLowerLayersGoBelow) {
  std::vector<CanvasObject> objects;
  for (auto [id, layer] : std::vector<std::pair<int, int>>{{1, 0}, {2, 1}, {3, 0}, {4, -1}, {5, 1}}) {
    CanvasObject object;
    object.identifier = id;
    object.layer = layer;
    InsertByLayer(objects, object);
  }
  std::vector<int> order;
  for (const CanvasObject& object : objects) order.push_back(object.identifier);
  EXPECT_THAT(order, testing::ElementsAre(4, 1, 3, 2, 5));
}

TEST(CartoonBoxObjects, LaterObjectIsDrawnOnTop) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  box->SetObjectPicture(box->CreateObject(0, 0), SolidPng(50, 50, {255, 0, 0, 255}));
  box->SetObjectPicture(box->CreateObject(25, 25), SolidPng(50, 50, {0, 0, 255, 255}));
  const Raster painted = PaintAll(*box);
  EXPECT_EQ(PixelAt(painted, 10, 10), MakeColour(255, 0, 0));
  EXPECT_EQ(PixelAt(painted, 30, 30), MakeColour(0, 0, 255));
}

TEST(CartoonBoxObjects, CutAtTheClientEdges) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  const std::int32_t left = box->CreateObject(-10, 0);
  box->SetObjectPicture(left, PositionBmp(20, 20));
  box->SetObjectPicture(box->CreateObject(90, 90), PositionBmp(20, 20));
  EXPECT_THAT(host.marked, testing::ElementsAre(Rect{-10, 0, 20, 20}, Rect{90, 90, 20, 20}));
  const Raster painted = PaintAll(*box);
  EXPECT_EQ(PixelAt(painted, 0, 0), Position(10, 0)) << "the 10 leftmost columns are cut off";
  EXPECT_EQ(PixelAt(painted, 99, 99), Position(9, 9));
}

struct BlendCase {
  const char* name;
  Rgba over;
  std::uint8_t under;  // grey background channel value
  std::uint8_t expected;
};

class CartoonBoxBlendTest : public testing::TestWithParam<BlendCase> {};

TEST_P(CartoonBoxBlendTest, AlphaBlendsByMulDivRounding) {
  RecordingHost host;
  CartoonBoxSettings settings;
  settings.back_color = static_cast<std::int32_t>(MakeColour(GetParam().under, GetParam().under, GetParam().under));
  auto box = MakeCanvas(host, settings);
  box->SetObjectPicture(box->CreateObject(0, 0), SolidPng(10, 10, GetParam().over));
  const Raster painted = PaintAll(*box);
  EXPECT_EQ(painted.pixels[0], GetParam().expected);
  EXPECT_EQ(painted.pixels[3], 0) << "the fourth byte handed to the window is 0";
}

INSTANTIATE_TEST_SUITE_P(Table, CartoonBoxBlendTest,
                         testing::Values(BlendCase{"opaque_copied", {9, 9, 9, 255}, 200, 9},
                                         BlendCase{"clear_unchanged", {9, 9, 9, 0}, 200, 200},
                                         BlendCase{"white_half_over_black", {255, 255, 255, 128}, 0, 128},
                                         BlendCase{"black_half_over_200", {0, 0, 0, 128}, 200, 100},
                                         BlendCase{"nearly_clear", {255, 255, 255, 1}, 0, 1}),
                         [](const testing::TestParamInfo<BlendCase>& info) { return std::string(info.param.name); });

TEST(CartoonBoxObjects, TransparentColourFromTopLeftIsNotDrawn) {
  RecordingHost host;
  CartoonBoxSettings settings;
  settings.back_color = 0;
  auto box = MakeCanvas(host, settings);
  box->SetObjectPicture(box->CreateObject(0, 0), PositionBmp(20, 20), -2);
  box->SetObjectPicture(box->CreateObject(50, 0), PositionBmp(20, 20), static_cast<std::int32_t>(Position(1, 0)));
  const Raster painted = PaintAll(*box);
  EXPECT_EQ(PixelAt(painted, 0, 0), 0u);
  EXPECT_EQ(PixelAt(painted, 1, 0), Position(1, 0));
  EXPECT_EQ(PixelAt(painted, 51, 0), 0u);
  EXPECT_EQ(PixelAt(painted, 50, 0), Position(0, 0));
}

TEST(CartoonBoxObjects, EmptyBytesLeaveTheObjectWithoutPictureAndRepaintItsOldArea) {
  RecordingHost host;
  CartoonBoxSettings settings;
  settings.back_color = 0;
  auto box = MakeCanvas(host, settings);
  const std::int32_t id = box->CreateObject(5, 5);
  box->SetObjectPicture(id, PositionBmp(10, 10));
  host.marked.clear();
  box->SetObjectPicture(id, {});
  EXPECT_THAT(host.marked, testing::ElementsAre(Rect{5, 5, 10, 10}));
  EXPECT_EQ(box->stored_pictures(), 0u);
  EXPECT_EQ(PixelAt(PaintAll(*box), 6, 6), 0u);
  EXPECT_EQ(box->objects().size(), 1u);
}

TEST(CartoonBoxStore, IdenticalPicturesAreStoredOnce) {
  RecordingHost host;
  auto box = CartoonBox::Make({}, host);
  const Bytes a = PositionBmp(10, 10);
  const Bytes b = SolidPng(10, 10, {1, 2, 3, 255});
  for (int i = 0; i < 3; ++i) box->SetObjectPicture(box->CreateObject(0, 0), a);
  box->SetObjectPicture(box->CreateObject(0, 0), b);
  EXPECT_EQ(box->stored_pictures(), 2u);
  box->SetObjectPicture(4, a);
  EXPECT_EQ(box->stored_pictures(), 1u) << "replacing the last use frees the entry";
  box->SetObjectPicture(1, a, static_cast<std::int32_t>(MakeColour(0, 0, 7)));
  EXPECT_EQ(box->stored_pictures(), 2u) << "another transparent colour is another picture";
}

TEST(CartoonBoxPaint, EqualsThePlainCompositorOnRandomStacks) {
  std::mt19937 random(1234);
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  for (int round = 0; round < 40; ++round) {
    RecordingHost host;
    CartoonBoxSettings settings;
    settings.back_color = static_cast<std::int32_t>(MakeColour(pick(0, 255), pick(0, 255), pick(0, 255)));
    auto box = MakeCanvas(host, settings);
    const Raster background = PaintAll(*box);
    std::vector<test::PlacedPicture> reference;
    for (int n = pick(1, 12); n > 0; --n) {
      const int w = pick(1, 120), h = pick(1, 120), x = pick(-30, 90), y = pick(-30, 90);
      const int kind = pick(0, 3);  // 0 opaque, 1 all alpha, 2 opaque with holes, 3 transparent colour
      test::PngOptions options;
      options.width = w;
      options.height = h;
      const std::uint8_t base = static_cast<std::uint8_t>(pick(0, 255));
      options.sample = [=](int px, int py, int c) -> std::uint16_t {
        if (c < 3) return static_cast<std::uint8_t>(base + px * (c + 1) + py);
        if (kind == 1) return static_cast<std::uint8_t>(px * 7 + py * 3);
        if (kind == 2) return (px + py) % 17 == 0 ? 0 : 255;
        return 255;
      };
      const Bytes png = test::EncodePng(options);
      const std::int32_t transparent = kind == 3 ? -2 : -1;
      box->SetObjectPicture(box->CreateObject(x, y), png, transparent);
      auto picture = DecodePicture(png, kNoColour, kind == 3);
      ASSERT_TRUE(picture);
      reference.push_back({Rect{x, y, w, h}, std::move(*picture)});
    }
    for (int clip = 0; clip < 4; ++clip) {
      const Rect box_rect = clip == 0 ? Rect{0, 0, 100, 100}
                                      : Rect{pick(0, 90), pick(0, 90), pick(1, 40), pick(1, 40)};
      const Rect cut = Intersect(box_rect, {0, 0, 100, 100});
      const Raster painted = box->Paint(box_rect);
      ASSERT_EQ(painted.pixels, test::ReferenceCompose(background, reference, cut).pixels) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace pictorin
