#include "controls/pic_box.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "controls/record_writer.h"
#include "tests/controls/test_host.h"
#include "tests/support/encoders.h"
#include "tests/support/gif_builder.h"

namespace pictorin {
namespace {

using namespace std::chrono_literals;
using test::GifBuilder;
using test::GifImageSpec;
using test::TestHost;

constexpr auto kWait = 10s;     // for what must come
constexpr auto kQuiet = 200ms;  // for what must not: twenty times the shortest frame

constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kGreen = MakeColour(0, 255, 0);
constexpr Colour kBlue = MakeColour(0, 0, 255);
constexpr Colour kBlack = MakeColour(0, 0, 0);
constexpr Colour kWhite = MakeColour(255, 255, 255);
constexpr Colour kFace = MakeColour(0xF0, 0xE0, 0xD0);  // TestHost's button face
const std::vector<Colour> kPalette = {kRed, kGreen, kBlue, kBlack};
enum : std::uint8_t { kR, kG, kB, kK };  // indices into kPalette

void PutI32(Bytes& bytes, std::int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

struct RecordFields {
  std::int32_t version = 2;
  std::int32_t border = 0;
  Colour background = kNoColour;
  std::int32_t mode = 0;
  std::int32_t play = 1;
  Bytes file;
  std::string source;
  std::string item;
};

RecordFields Fields(std::int32_t version, std::int32_t border, Colour background, std::int32_t mode,
                    std::int32_t play, Bytes file = {}, std::string source = {}, std::string item = {}) {
  return RecordFields{version, border, background, mode, play, std::move(file), std::move(source), std::move(item)};
}

Bytes Record(const RecordFields& f) {
  RecordWriter writer;
  writer.Int(f.version).Int(f.border).Int(static_cast<std::int32_t>(f.background)).Int(f.mode).Int(f.play);
  writer.Blob(f.file);
  if (f.version == 2) writer.Text(f.source).Text(f.item);
  return writer.Take();
}

using ColourAt = std::function<Colour(int x, int y)>;

// A 24-bit bottom-up BMP file.
Bytes Bmp(int width, int height, const ColourAt& colour_at) {
  const int stride = (width * 3 + 3) / 4 * 4;
  Bytes bytes = {'B', 'M'};
  for (std::int32_t v : {54 + stride * height, 0, 54, 40, width, height}) PutI32(bytes, v);
  bytes.insert(bytes.end(), {1, 0, 24, 0});
  for (int i = 0; i < 6; ++i) PutI32(bytes, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const Colour c = colour_at(x, y);
      bytes.insert(bytes.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
    }
    bytes.insert(bytes.end(), stride - width * 3, 0);
  }
  return bytes;
}

Bytes SolidBmp(int width, int height, Colour colour) {
  return Bmp(width, height, [colour](int, int) { return colour; });
}

Colour Gradient(int x, int y) { return MakeColour(x * 2, y * 2, (x + y) % 256); }

// A 4×4 icon of 24 bits: red where x < 2, transparent (AND mask 1, colour
// black) elsewhere.
Bytes HalfTransparentIcon() {
  Bytes bytes = {0, 0, 1, 0, 1, 0};
  const int colour_rows = 4 * 12, mask_rows = 4 * 4;
  bytes.insert(bytes.end(), {4, 4, 0, 0, 1, 0, 24, 0});
  PutI32(bytes, 40 + colour_rows + mask_rows);
  PutI32(bytes, 22);
  for (std::int32_t v : {40, 4, 8}) PutI32(bytes, v);
  bytes.insert(bytes.end(), {1, 0, 24, 0});
  for (int i = 0; i < 6; ++i) PutI32(bytes, 0);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) bytes.insert(bytes.end(), {0, 0, std::uint8_t(x < 2 ? 255 : 0)});
  }
  for (int y = 0; y < 4; ++y) bytes.insert(bytes.end(), {0x30, 0, 0, 0});
  return bytes;
}

Colour PixelAt(const Raster& raster, int x, int y) {
  const std::uint8_t* p = &raster.pixels[(static_cast<std::size_t>(y) * raster.width + x) * 4];
  return MakeColour(p[2], p[1], p[0]);
}

// The raster's pixels as colours, rows top to bottom.
std::vector<Colour> Colours(const Raster& raster) {
  std::vector<Colour> colours;
  for (int y = 0; y < raster.height; ++y) {
    for (int x = 0; x < raster.width; ++x) colours.push_back(PixelAt(raster, x, y));
  }
  return colours;
}

// Every pixel inside area has inside, every other one outside.
void ExpectAreaOver(const Raster& raster, Rect area, Colour inside, Colour outside) {
  int wrong = 0;
  for (int y = 0; y < raster.height; ++y) {
    for (int x = 0; x < raster.width; ++x) {
      const bool in = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
      wrong += PixelAt(raster, x, y) != (in ? inside : outside);
    }
  }
  EXPECT_EQ(wrong, 0);
}

std::unique_ptr<PicBox> MakeBox(TestHost& host, RecordFields fields) {
  auto box = PicBox::Make(Record(fields), host);
  if (!box) ADD_FAILURE() << "the record was refused";
  return box ? std::move(*box) : nullptr;
}

std::unique_ptr<PicBox> MakeBox(TestHost& host, const Bytes& picture, std::int32_t mode = 0) {
  return MakeBox(host, Fields(2, 0, kNoColour, mode, 1, picture));
}

Raster Painted(PicBox& box) {
  auto raster = box.Paint();
  if (!raster) {
    ADD_FAILURE() << "paint failed";
    return {};
  }
  return std::move(*raster);
}

template <typename T>
T Read(const PicBox& box, int number) {
  return std::get<T>(box.ReadProperty(number).value());
}

// Lets a held player go before the box goes, also when a test fails early.
struct ReleaseOnExit {
  TestHost& host;
  ~ReleaseOnExit() { host.ReleaseAll(); }
};

GifImageSpec Image(int left, int top, int width, int height, std::vector<std::uint8_t> indices) {
  GifImageSpec image;
  image.left = left;
  image.top = top;
  image.width = width;
  image.height = height;
  image.indices = std::move(indices);
  return image;
}

// ---------------------------------------------------------------- record

TEST(PicBoxRecord, TheResizerBoxRecordShowsItsPicturePixelForPixel) {
  TestHost host;
  const Bytes picture = Bmp(100, 100, Gradient);
  const Bytes record = Record(Fields(2, 0, kNoColour, 1, 1, picture));
  ASSERT_EQ(record.size(), 30086u);
  auto box = PicBox::Make(record, host);
  ASSERT_TRUE(box);
  EXPECT_EQ(Read<Bytes>(**box, PicBox::kPictureFile), picture);
  const Raster shown = Painted(**box);
  ASSERT_EQ(shown.width, 100);
  ASSERT_EQ(shown.height, 100);
  int wrong = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) wrong += PixelAt(shown, x, y) != Gradient(x, y);
  }
  EXPECT_EQ(wrong, 0);
  for (std::size_t i = 3; i < shown.pixels.size(); i += 4) ASSERT_EQ(shown.pixels[i], 0) << "not opaque";
}

Bytes Cut(Bytes bytes, std::size_t drop) {
  bytes.resize(bytes.size() - drop);
  return bytes;
}

TEST(PicBoxRecord, ReadsTheFieldsOfItsVersion) {
  struct Case {
    const char* name;
    Bytes record;
    bool made;
    RecordFields read;  // the properties then, none with a picture
  };
  const RecordFields defaults = Fields(2, 0, kNoColour, 0, 1);
  const Bytes full = Record(Fields(2, 3, kBlue, 2, 0, {}, "Src", "It"));
  Bytes too_new = full;
  too_new[0] = 3;
  const std::vector<Case> cases = {
      {"empty record keeps the defaults", {}, true, defaults},
      {"version 2 with its texts", full, true, Fields(2, 3, kBlue, 2, 0, {}, "Src", "It")},
      {"version 1 has no texts", Record(Fields(1, 1, kRed, 1, 1)), true, Fields(1, 1, kRed, 1, 1)},
      {"display mode is not clamped when read", Record(Fields(2, 0, kNoColour, 7, 1)), true,
       Fields(2, 0, kNoColour, 7, 1)},
      {"border style is clamped", Record(Fields(2, 9, kNoColour, 0, 1)), true, Fields(2, 5, kNoColour, 0, 1)},
      {"play flag reads as 0 or 1", Record(Fields(2, 0, kNoColour, 0, 5)), true, defaults},
      {"version above 2 is refused", too_new, false, defaults},
      {"version only", Cut(full, full.size() - 4), false, defaults},
      {"ends inside the fields", Cut(full, full.size() - 10), false, defaults},
      {"ends before the second text", Cut(full, 6), false, defaults},
      {"picture length past the end", Cut(Record(Fields(2, 0, kNoColour, 0, 1, Bytes(8, 1))), 12), false, defaults},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost host;
    auto box = PicBox::Make(c.record, host);
    ASSERT_EQ(box.ok(), c.made);
    if (!c.made) {
      EXPECT_TRUE(host.border_styles().empty());
      continue;
    }
    const PicBox& b = **box;
    EXPECT_EQ(Read<std::int32_t>(b, PicBox::kBorderStyle), c.read.border);
    EXPECT_EQ(static_cast<Colour>(Read<std::int32_t>(b, PicBox::kBackgroundColor)), c.read.background);
    EXPECT_TRUE(Read<Bytes>(b, PicBox::kPictureFile).empty());
    EXPECT_EQ(Read<std::int32_t>(b, PicBox::kShowMode), c.read.mode);
    EXPECT_EQ(Read<std::int32_t>(b, PicBox::kPlayAnimation), c.read.play);
    EXPECT_EQ(Read<std::string>(b, PicBox::kPictureSource), c.read.source);
    EXPECT_EQ(Read<std::string>(b, PicBox::kPictureSourceItem), c.read.item);
    EXPECT_EQ(host.border_styles(), (std::vector<int>{c.read.border}));
  }
}

TEST(PicBoxRecord, PictureSizedModeResizesTheWindowToThePicture) {
  TestHost host;
  auto box = MakeBox(host, SolidBmp(30, 20, kRed), 3);
  ASSERT_TRUE(box);
  EXPECT_EQ(host.resizes(), (std::vector<Size>{Size{30, 20}}));
  EXPECT_EQ(Read<std::int32_t>(*box, PicBox::kShowMode), 3);
  const Raster shown = Painted(*box);
  ASSERT_EQ(shown.width, 30);
  ExpectAreaOver(shown, {0, 0, 30, 20}, kRed, kFace);

  box->WriteProperty(PicBox::kPictureFile, SolidBmp(10, 5, kBlue));
  EXPECT_EQ(host.resizes().back(), (Size{10, 5}));
}

// ---------------------------------------------------------------- properties

TEST(PicBoxProperties, WritesAreClampedIntoTheirRange) {
  struct Case {
    int number;
    std::int32_t written;
    std::int32_t stored;
  };
  const Case cases[] = {
      {PicBox::kShowMode, 7, 2},    {PicBox::kShowMode, -1, 0},    {PicBox::kShowMode, 1, 1},
      {PicBox::kShowMode, 3, 2},    {PicBox::kBorderStyle, 9, 5},  {PicBox::kBorderStyle, -4, 0},
      {PicBox::kBorderStyle, 4, 4}, {PicBox::kPlayAnimation, 7, 1}, {PicBox::kPlayAnimation, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.number << " written " << c.written);
    TestHost host;
    auto box = MakeBox(host, Bytes{});
    ASSERT_TRUE(box->WriteProperty(c.number, c.written));
    EXPECT_EQ(Read<std::int32_t>(*box, c.number), c.stored);
    if (c.number == PicBox::kBorderStyle) {
      EXPECT_EQ(host.border_styles().back(), c.stored);
    }
  }
}

TEST(PicBoxProperties, NumbersOutsideTheBoxAndWrongTypesChangeNothing) {
  TestHost host;
  const Bytes picture = SolidBmp(4, 4, kRed);
  auto box = MakeBox(host, picture);
  EXPECT_FALSE(box->WriteProperty(15, std::int32_t{1}));
  EXPECT_FALSE(box->WriteProperty(7, std::int32_t{1}));
  EXPECT_FALSE(box->WriteProperty(PicBox::kPictureFile, std::int32_t{1}));
  EXPECT_FALSE(box->WriteProperty(PicBox::kShowMode, std::string("2")));
  EXPECT_FALSE(box->ReadProperty(15));
  EXPECT_FALSE(box->ReadProperty(7));
  EXPECT_EQ(Read<Bytes>(*box, PicBox::kPictureFile), picture);
  EXPECT_EQ(Read<std::int32_t>(*box, PicBox::kShowMode), 0);
}

TEST(PicBoxProperties, TextsAreStoredAndLeaveThePicture) {
  TestHost host;
  host.SetClientSize({4, 4});
  auto box = MakeBox(host, SolidBmp(4, 4, kRed));
  EXPECT_TRUE(box->WriteProperty(PicBox::kPictureSource, std::string("动画框1")));
  EXPECT_TRUE(box->WriteProperty(PicBox::kPictureSourceItem, std::string("pic")));
  EXPECT_EQ(Read<std::string>(*box, PicBox::kPictureSource), "动画框1");
  EXPECT_EQ(Read<std::string>(*box, PicBox::kPictureSourceItem), "pic");
  ExpectAreaOver(Painted(*box), {0, 0, 4, 4}, kRed, kRed);
}

TEST(PicBoxProperties, BackgroundColourRepaintsTheWholeClient) {
  TestHost host;
  host.SetClientSize({6, 3});
  auto box = MakeBox(host, Bytes{});
  ExpectAreaOver(Painted(*box), {}, kFace, kFace);
  const std::size_t marks = host.mark_count();
  box->WriteProperty(PicBox::kBackgroundColor, static_cast<std::int32_t>(kBlue));
  ASSERT_EQ(host.mark_count(), marks + 1);
  EXPECT_EQ(host.marks().back(), (Rect{0, 0, 6, 3}));
  ExpectAreaOver(Painted(*box), {}, kBlue, kBlue);
}

// ---------------------------------------------------------------- placement

TEST(PlacementRect, FollowsTheDisplayMode) {
  struct Case {
    int mode;
    Size picture;
    Size client;
    Rect placement;
  };
  const Case cases[] = {
      {0, {150, 150}, {100, 100}, {0, 0, 150, 150}},
      {0, {30, 20}, {100, 100}, {0, 0, 30, 20}},
      {1, {200, 50}, {100, 100}, {0, 0, 100, 100}},
      {1, {3, 3}, {100, 80}, {0, 0, 100, 80}},
      {2, {200, 100}, {100, 100}, {0, 25, 100, 50}},
      {2, {50, 40}, {100, 100}, {25, 30, 50, 40}},
      {2, {300, 300}, {100, 100}, {0, 0, 100, 100}},
      {2, {100, 100}, {100, 100}, {0, 0, 100, 100}},
      {2, {50, 300}, {100, 100}, {42, 0, 16, 100}},  // narrower than the client, taller: x from both steps
      {2, {200, 50}, {100, 100}, {0, 37, 100, 25}},
      {2, {6000, 4000}, {100, 100}, {0, 17, 100, 66}},
      {3, {30, 20}, {100, 100}, {0, 0, 30, 20}},
      {7, {30, 20}, {100, 100}, {0, 0, 30, 20}},
      {2, {0, 10}, {100, 100}, {}},
      {1, {10, 10}, {0, 100}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", " << c.picture.width << "x" << c.picture.height);
    EXPECT_EQ(PlacementRect(c.mode, c.picture, c.client), c.placement);
  }
}

// ---------------------------------------------------------------- still pictures

TEST(PicBoxPaint, StretchedPictureFillsTheWholeClient) {
  TestHost host;
  auto box = MakeBox(host, SolidBmp(200, 50, kGreen), 1);
  ExpectAreaOver(Painted(*box), {0, 0, 100, 100}, kGreen, kGreen);
}

TEST(PicBoxPaint, NaturalSizeShowsTheTopLeftPart) {
  TestHost host;
  auto box = MakeBox(host, Bmp(150, 150, Gradient), 0);
  const Raster shown = Painted(*box);
  int wrong = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) wrong += PixelAt(shown, x, y) != Gradient(x, y);
  }
  EXPECT_EQ(wrong, 0);
}

TEST(PicBoxPaint, CentredPictureShowsTheBackgroundAround) {
  TestHost host;
  auto box = MakeBox(host, SolidBmp(50, 40, kRed), 2);
  ExpectAreaOver(Painted(*box), {25, 30, 50, 40}, kRed, kFace);
  box->WriteProperty(PicBox::kPictureFile, SolidBmp(200, 100, kBlue));
  ExpectAreaOver(Painted(*box), {0, 25, 100, 50}, kBlue, kFace);
}

// The scaled picture is kept between paints; each of these changes must
// show, not the scaled picture of before.
TEST(PicBoxPaint, RepaintsFollowModeClientAndPictureChanges) {
  TestHost host;
  auto box = MakeBox(host, SolidBmp(200, 50, kGreen), 1);
  ExpectAreaOver(Painted(*box), {0, 0, 100, 100}, kGreen, kGreen);
  ExpectAreaOver(Painted(*box), {0, 0, 100, 100}, kGreen, kGreen);

  box->WriteProperty(PicBox::kShowMode, std::int32_t{2});
  ExpectAreaOver(Painted(*box), {0, 37, 100, 25}, kGreen, kFace);

  host.SetClientSize({50, 50});
  ExpectAreaOver(Painted(*box), {0, 19, 50, 12}, kGreen, kFace);

  box->WriteProperty(PicBox::kPictureFile, SolidBmp(200, 50, kRed));
  ExpectAreaOver(Painted(*box), {0, 19, 50, 12}, kRed, kFace);
}

TEST(PicBoxPaint, BytesThatDoNotDecodeShowTheBackgroundAndReadBackUnchanged) {
  test::PngOptions options;
  options.width = options.height = 4;
  options.colour = test::PngColour::kRgb;
  options.sample = [](int, int, int) -> std::uint16_t { return 200; };
  const Bytes png = test::EncodePng(options);
  ASSERT_FALSE(png.empty());
  Bytes bmp_cut = SolidBmp(8, 8, kRed);
  bmp_cut.resize(100);
  const Bytes gif_without_table_end = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x87, 0, 0, 1, 2};
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"PNG", png},
      {"unknown bytes", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
      {"five bytes", {'B', 'M', 0, 0, 0}},
      {"BMP cut short", bmp_cut},
      {"GIF that does not open", gif_without_table_end},
      {"GIF with an empty logical screen",
       GifBuilder(0, 0, kPalette).Image(Image(0, 0, 1, 1, {kR})).Image(Image(0, 0, 1, 1, {kG})).Trailer().bytes()},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    TestHost host;
    auto box = MakeBox(host, SolidBmp(100, 100, kRed), 1);
    const std::size_t marks = host.mark_count();
    EXPECT_TRUE(box->WriteProperty(PicBox::kPictureFile, bytes));
    EXPECT_EQ(host.mark_count(), marks + 1);
    EXPECT_EQ(Read<Bytes>(*box, PicBox::kPictureFile), bytes);
    ExpectAreaOver(Painted(*box), {}, kFace, kFace);
  }
}

TEST(PicBoxPaint, EmptyBytesClearThePicture) {
  TestHost host;
  auto box = MakeBox(host, SolidBmp(100, 100, kRed), 1);
  ExpectAreaOver(Painted(*box), {0, 0, 100, 100}, kRed, kRed);
  box->WriteProperty(PicBox::kPictureFile, Bytes{});
  EXPECT_TRUE(Read<Bytes>(*box, PicBox::kPictureFile).empty());
  ExpectAreaOver(Painted(*box), {}, kFace, kFace);
}

TEST(PicBoxPaint, IconShowsTheBackgroundWhereItIsTransparent) {
  TestHost host;
  host.SetClientSize({4, 4});
  auto box = MakeBox(host, HalfTransparentIcon(), 1);
  ExpectAreaOver(Painted(*box), {0, 0, 2, 4}, kRed, kFace);

  box->WriteProperty(PicBox::kBackgroundColor, static_cast<std::int32_t>(kBlue));
  ExpectAreaOver(Painted(*box), {0, 0, 2, 4}, kRed, kBlue);

  box->WriteProperty(PicBox::kBackgroundColor, static_cast<std::int32_t>(kNoColour));
  host.SetButtonFaceColour(kGreen);
  ExpectAreaOver(Painted(*box), {0, 0, 2, 4}, kRed, kGreen);
}

TEST(PicBoxPaint, EmptyClientAreaPaintsNothing) {
  TestHost host;
  host.SetClientSize({0, 0});
  auto box = MakeBox(host, SolidBmp(4, 4, kRed), 1);
  EXPECT_FALSE(box->Paint());
}

// ---------------------------------------------------------------- GIF

Bytes SingleImageGif(int screen, int width, int height, std::uint8_t index) {
  return GifBuilder(screen, screen, kPalette)
      .Control(0, 0, kB)
      .Image(Image(2, 2, width, height, std::vector<std::uint8_t>(width * height, index)))
      .Trailer()
      .bytes();
}

TEST(PicBoxGif, WhetherAGifIsAnimatedIsDecidedAfterItsFirstImage) {
  const GifImageSpec green = Image(0, 0, 2, 2, std::vector<std::uint8_t>(4, kG));
  struct Case {
    const char* name;
    Bytes gif;
    bool animated;
  };
  const Case cases[] = {
      {"trailer after the image", GifBuilder(2, 2, kPalette).Image(green).Trailer().bytes(), false},
      {"data end with the image", GifBuilder(2, 2, kPalette).Image(green).bytes(), false},
      {"a comment after the image", GifBuilder(2, 2, kPalette).Image(green).Comment("x").Trailer().bytes(), true},
      {"two images", GifBuilder(2, 2, kPalette).Image(green).Image(green).Trailer().bytes(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost host;
    host.SetClientSize({2, 2});
    host.HoldOtherThreads();
    auto box = MakeBox(host, c.gif);
    ReleaseOnExit release{host};
    // An animated GIF's first paint starts its player and shows the background.
    ExpectAreaOver(Painted(*box), {}, c.animated ? kFace : kGreen, c.animated ? kFace : kGreen);
    EXPECT_EQ(host.WaitForHeld(c.animated ? kWait : kQuiet), c.animated);
  }
}

TEST(PicBoxGif, SingleImageShowsFromTheTopLeftWithWhiteAroundAndItsTransparentIndexDrawn) {
  TestHost host;
  host.SetClientSize({4, 4});
  auto box = MakeBox(host, SingleImageGif(4, 2, 2, kB));
  ExpectAreaOver(Painted(*box), {0, 0, 2, 2}, kBlue, kWhite);
}

TEST(PicBoxGif, FirstImageThatDoesNotDecodeShowsNoPicture) {
  TestHost host;
  host.SetClientSize({2, 2});
  const Bytes gif = GifBuilder(2, 2, kPalette)
                        .Descriptor(Image(0, 0, 2, 2, {}))
                        .Append({2, 1, test::PackCodes({{4, 3}, {7, 3}})[0], 0})
                        .Trailer()
                        .bytes();
  auto box = MakeBox(host, gif);
  ExpectAreaOver(Painted(*box), {}, kFace, kFace);
  EXPECT_EQ(Read<Bytes>(*box, PicBox::kPictureFile), gif);
}

// Steps a held player: waits for its next repaint request, paints, and lets
// it go on. The player stands still meanwhile, so the paint shows exactly
// the composition of that turn.
std::vector<Colour> NextTurn(TestHost& host, PicBox& box) {
  if (!host.WaitForHeld(kWait)) {
    ADD_FAILURE() << "no turn of the player";
    return {};
  }
  const std::vector<Colour> shown = Colours(Painted(box));
  host.PassOne();
  return shown;
}

TEST(PicBoxGif, AnimationStartsWithThePaintThenPlaysItsImagesAndLoopsOverItsLastComposition) {
  TestHost host;
  host.SetClientSize({2, 1});
  host.HoldOtherThreads();
  const Bytes gif = GifBuilder(2, 1, kPalette)
                        .Control(0, 1)
                        .Image(Image(0, 0, 1, 1, {kR}))
                        .Control(0, 1)
                        .Image(Image(0, 0, 1, 1, {kG}))
                        .Control(0, 1)
                        .Image(Image(1, 0, 1, 1, {kB}))
                        .Trailer()
                        .bytes();
  auto box = MakeBox(host, gif);
  ReleaseOnExit release{host};
  EXPECT_EQ(Colours(Painted(*box)), (std::vector<Colour>{kFace, kFace}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kRed, kWhite}));
  EXPECT_EQ(host.marks().back(), (Rect{0, 0, 2, 1}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kGreen, kWhite}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kGreen, kBlue}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kRed, kBlue}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kGreen, kBlue}));
}

TEST(PicBoxGif, DisposalTwoRestoresWhatTheImageCovered) {
  TestHost host;
  host.SetClientSize({2, 1});
  host.HoldOtherThreads();
  const Bytes gif = GifBuilder(2, 1, kPalette)
                        .Control(0, 1)
                        .Image(Image(0, 0, 2, 1, {kR, kR}))
                        .Control(2, 1)
                        .Image(Image(1, 0, 1, 1, {kG}))
                        .Control(0, 1)
                        .Image(Image(0, 0, 1, 1, {kB}))
                        .Trailer()
                        .bytes();
  auto box = MakeBox(host, gif);
  ReleaseOnExit release{host};
  Painted(*box);
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kRed, kRed}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kRed, kGreen}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kBlue, kRed}));
}

TEST(PicBoxGif, TransparentColourShowsThePreviousComposition) {
  TestHost host;
  host.SetClientSize({3, 1});
  host.HoldOtherThreads();
  const Bytes gif = GifBuilder(3, 1, kPalette)
                        .Control(0, 1)
                        .Image(Image(0, 0, 3, 1, {kR, kB, kR}))
                        .Control(0, 1, kK)
                        .Image(Image(0, 0, 3, 1, {kK, kG, kK}))
                        .Trailer()
                        .bytes();
  auto box = MakeBox(host, gif);
  ReleaseOnExit release{host};
  Painted(*box);
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kRed, kBlue, kRed}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kRed, kGreen, kRed}));
}

TEST(PicBoxGif, TurnWithoutAnImageKeepsTheComposition) {
  TestHost host;
  host.SetClientSize({2, 1});
  host.HoldOtherThreads();
  const Bytes gif = GifBuilder(2, 1, kPalette)
                        .Control(0, 1)
                        .Image(Image(0, 0, 2, 1, {kR, kG}))
                        .Descriptor(Image(0, 0, 2, 1, {}))
                        .Append({2, 1, test::PackCodes({{4, 3}, {7, 3}})[0], 0})
                        .Trailer()
                        .bytes();
  auto box = MakeBox(host, gif);
  ReleaseOnExit release{host};
  Painted(*box);
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kRed, kGreen}));
  EXPECT_EQ(NextTurn(host, *box), (std::vector<Colour>{kRed, kGreen}));
}

TEST(PicBoxGif, StretchedAnimationScalesTheComposition) {
  TestHost host;
  host.SetClientSize({4, 2});
  host.HoldOtherThreads();
  const Bytes gif = GifBuilder(2, 1, kPalette)
                        .Image(Image(0, 0, 2, 1, {kR, kG}))
                        .Image(Image(0, 0, 2, 1, {kR, kG}))
                        .Trailer()
                        .bytes();
  auto box = MakeBox(host, gif, 1);
  ReleaseOnExit release{host};
  Painted(*box);
  const std::vector<Colour> expected = {kRed, kRed, kGreen, kGreen, kRed, kRed, kGreen, kGreen};
  EXPECT_EQ(NextTurn(host, *box), expected);
}

Bytes TwoFrameGif() {
  return GifBuilder(2, 1, kPalette)
      .Control(0, 1)
      .Image(Image(0, 0, 2, 1, {kR, kR}))
      .Control(0, 1)
      .Image(Image(0, 0, 2, 1, {kG, kG}))
      .Trailer()
      .bytes();
}

TEST(PicBoxGif, ShowingAnotherPictureStopsThePlayerFirst) {
  TestHost host;
  host.SetClientSize({2, 1});
  host.HoldOtherThreads();
  auto box = MakeBox(host, TwoFrameGif());
  ReleaseOnExit release{host};
  Painted(*box);
  ASSERT_TRUE(host.WaitForHeld(kWait));
  host.ReleaseAll();
  ASSERT_TRUE(host.WaitForMarks(host.mark_count() + 2, kWait)) << "the player does not run on";

  box->WriteProperty(PicBox::kPictureFile, SolidBmp(2, 1, kBlue));
  const std::size_t marks = host.mark_count();
  EXPECT_FALSE(host.WaitForMarks(marks + 1, kQuiet)) << "the player still asks for repaints";
  EXPECT_EQ(Colours(Painted(*box)), (std::vector<Colour>{kBlue, kBlue}));
}

TEST(PicBoxGif, DestroyingTheBoxWhilePlayingStopsThePlayer) {
  TestHost host;
  host.SetClientSize({2, 1});
  auto box = MakeBox(host, TwoFrameGif());
  Painted(*box);
  ASSERT_TRUE(host.WaitForMarks(host.mark_count() + 2, kWait));
  box.reset();
  const std::size_t marks = host.mark_count();
  EXPECT_FALSE(host.WaitForMarks(marks + 1, kQuiet));
}

TEST(PicBoxGif, PlayAnimationOffShowsTheFirstImageAndOnPlaysAgain) {
  TestHost host;
  host.SetClientSize({2, 1});
  host.HoldOtherThreads();
  auto box = MakeBox(host, TwoFrameGif());
  ReleaseOnExit release{host};
  Painted(*box);
  ASSERT_TRUE(host.WaitForHeld(kWait));
  host.ReleaseAll();

  box->WriteProperty(PicBox::kPlayAnimation, std::int32_t{0});
  EXPECT_EQ(Colours(Painted(*box)), (std::vector<Colour>{kRed, kRed}));
  const std::size_t marks = host.mark_count();
  EXPECT_FALSE(host.WaitForMarks(marks + 1, kQuiet));

  host.HoldOtherThreads();
  box->WriteProperty(PicBox::kPlayAnimation, std::int32_t{1});
  EXPECT_EQ(Colours(Painted(*box)), (std::vector<Colour>{kFace, kFace}));
  EXPECT_TRUE(host.WaitForHeld(kWait));
}

TEST(PicBoxGif, PlayAnimationWrittenOverAStillPictureLeavesLaterGifsAnimated) {
  TestHost host;
  host.SetClientSize({2, 1});
  auto box = MakeBox(host, SolidBmp(2, 1, kBlue));
  box->WriteProperty(PicBox::kPlayAnimation, std::int32_t{0});
  EXPECT_EQ(Read<std::int32_t>(*box, PicBox::kPlayAnimation), 0);
  box->WriteProperty(PicBox::kPictureFile, TwoFrameGif());
  EXPECT_EQ(Colours(Painted(*box)), (std::vector<Colour>{kFace, kFace}));
}

TEST(PicBoxGif, RecordWithPlayAnimationOffShowsTheFirstImage) {
  TestHost host;
  host.SetClientSize({2, 1});
  auto box = MakeBox(host, Fields(2, 0, kNoColour, 0, 0, TwoFrameGif()));
  EXPECT_EQ(Colours(Painted(*box)), (std::vector<Colour>{kRed, kRed}));
}

}  // namespace
}  // namespace pictorin
