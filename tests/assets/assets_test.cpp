#include "assets/builtin.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/checked.h"
#include "imaging/picture.h"
#include "io/whole_file.h"

namespace pictorin {
namespace {

// The assets folder of the tree this test was built from.
const std::filesystem::path kAssets = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "assets";

std::uint32_t Big32(ByteView bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) << 24 | bytes[offset + 1] << 16 | bytes[offset + 2] << 8 |
         bytes[offset + 3];
}

struct PngChunk {
  std::string name;
  ByteView data;
};

// The chunks of a PNG file in file order; empty when the layout is broken.
std::vector<PngChunk> PngChunks(ByteView png) {
  std::vector<PngChunk> chunks;
  for (std::size_t at = 8; at < png.size();) {
    if (!InBounds(png, at, 8)) return {};
    const std::uint32_t length = Big32(png, at);
    if (!InBounds(png, at + 8, std::size_t{length} + 4)) return {};
    chunks.push_back({std::string(png.begin() + at + 4, png.begin() + at + 8), png.subspan(at + 8, length)});
    at += 12 + std::size_t{length};
  }
  return chunks;
}

std::vector<std::string> Names(const std::vector<PngChunk>& chunks) {
  std::vector<std::string> names;
  for (const PngChunk& chunk : chunks) names.push_back(chunk.name);
  return names;
}

TEST(AssetsTest, EmbeddedBytesAreTheCommittedFiles) {
  const struct {
    std::string_view name;
    std::string path;
  } files[] = {
      {"red-diamond-badge.png", "badges/red-diamond-badge.png"},
      {"iphone-badge.png", "badges/iphone-badge.png"},
      {"member-badge.png", "badges/member-badge.png"},
      {"svip-badge.png", "badges/svip-badge.png"},
      {"default-canvas-picture.jpg", "defaults/default-canvas-picture.jpg"},
      {"default-box-picture.bmp", "defaults/default-box-picture.bmp"},
      {"window-icon.ico", "icons/window-icon.ico"},
  };
  const std::span<const BuiltinPicture> pictures = BuiltinPictures();
  ASSERT_EQ(pictures.size(), std::size(files));
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    EXPECT_EQ(pictures[i].file_name, files[i].name);
    const Bytes on_disk = ReadWholeFile((kAssets / files[i].path).string());
    ASSERT_FALSE(on_disk.empty()) << files[i].path;
    EXPECT_TRUE(std::ranges::equal(pictures[i].bytes, on_disk)) << files[i].path;
  }
}

struct Overlay {
  const char* name;
  ByteView (*bytes)();
  int left, right, top, bottom;  // the badge box, inclusive
  bool has_profile;
};

const Overlay kOverlays[] = {
    {"red diamond", RedDiamondBadge, 57, 97, 65, 95, true},
    {"iPhone", IPhoneBadge, 68, 99, 55, 99, false},
    {"member", MemberBadge, 60, 97, 49, 98, true},
    {"SVIP", SvipBadge, 8, 84, 0, 18, true},
};

TEST(AssetsTest, OverlaysAreUninterlacedRgbaPngsWithTheirChunksInOrder) {
  for (const Overlay& overlay : kOverlays) {
    const std::vector<PngChunk> chunks = PngChunks(overlay.bytes());
    const std::vector<std::string> expected =
        overlay.has_profile ? std::vector<std::string>{"IHDR", "pHYs", "iCCP", "cHRM", "IDAT", "IEND"}
                            : std::vector<std::string>{"IHDR", "pHYs", "cHRM", "IDAT", "IEND"};
    ASSERT_EQ(Names(chunks), expected) << overlay.name;
    const ByteView header = chunks[0].data;
    EXPECT_EQ(Big32(header, 0), 100u) << overlay.name;
    EXPECT_EQ(Big32(header, 4), 100u) << overlay.name;
    EXPECT_EQ(header[8], 8) << overlay.name << ": bit depth";
    EXPECT_EQ(header[9], 6) << overlay.name << ": colour type";
    EXPECT_EQ(header[12], 0) << overlay.name << ": interlace";
    const ByteView phys = chunks[1].data;
    ASSERT_EQ(phys.size(), 9u) << overlay.name;
    EXPECT_EQ(Big32(phys, 0), 2835u) << overlay.name;
    EXPECT_EQ(Big32(phys, 4), 2835u) << overlay.name;
    EXPECT_EQ(phys[8], 1) << overlay.name << ": unit metre";
  }
}

TEST(AssetsTest, OverlaysAreTransparentOutsideTheirBoxAndOpaqueWithARimInside) {
  for (const Overlay& overlay : kOverlays) {
    Result<Picture> picture = DecodePicture(overlay.bytes(), kNoColour, false);
    ASSERT_TRUE(picture.ok()) << overlay.name << ": " << FailureText(picture.failure());
    ASSERT_EQ(picture->width, 100);
    ASSERT_EQ(picture->height, 100);
    ASSERT_EQ(picture->frames.size(), 1u);
    const std::vector<std::uint8_t>& pixels = picture->frames[0].pixels;
    int opaque = 0, partial = 0, stray = 0;
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 100; ++x) {
        const std::uint8_t transparency = pixels[(y * 100 + x) * 4 + 3];
        const bool inside = x >= overlay.left && x <= overlay.right && y >= overlay.top && y <= overlay.bottom;
        if (!inside) {
          stray += transparency != 255;
        } else {
          opaque += transparency == 0;
          partial += transparency != 0 && transparency != 255;
        }
      }
    }
    EXPECT_EQ(stray, 0) << overlay.name << ": pixels drawn outside the box";
    EXPECT_GT(opaque, 0) << overlay.name;
    EXPECT_GT(partial, 0) << overlay.name << ": no antialiased rim";
  }
}

void ExpectOpaque100(ByteView bytes, PictureFormat format) {
  const Result<Picture> picture = DecodePicture(bytes, kNoColour, false);
  ASSERT_TRUE(picture.ok()) << FailureText(picture.failure());
  EXPECT_EQ(picture->width, 100);
  EXPECT_EQ(picture->height, 100);
  ASSERT_EQ(picture->frames.size(), 1u);
  const std::vector<std::uint8_t>& pixels = picture->frames[0].pixels;
  for (std::size_t p = 3; p < pixels.size(); p += 4) ASSERT_EQ(pixels[p], 0) << "pixel " << p / 4;
  const Result<StillPicture> still = LoadStillPicture(bytes);
  ASSERT_TRUE(still.ok()) << FailureText(still.failure());
  EXPECT_EQ(still->format, format);
}

TEST(AssetsTest, DefaultPicturesDecodeToOpaque100By100) {
  ExpectOpaque100(DefaultCanvasPicture(), PictureFormat::kJpeg);
  ExpectOpaque100(DefaultBoxPicture(), PictureFormat::kBmp);
}

TEST(AssetsTest, DefaultCanvasPictureIsBaselineWithExifRightAfterSoi) {
  const ByteView jpeg = DefaultCanvasPicture();
  ASSERT_GT(jpeg.size(), 12u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  EXPECT_EQ(jpeg[2], 0xFF);
  EXPECT_EQ(jpeg[3], 0xE1) << "APP1";
  EXPECT_EQ(std::memcmp(jpeg.data() + 6, "Exif\0\0", 6), 0);
  // Walk the segments up to the frame header.
  std::size_t at = 2;
  while (InBounds(jpeg, at, 4) && jpeg[at] == 0xFF && (jpeg[at + 1] < 0xC0 || jpeg[at + 1] > 0xCF ||
                                                       jpeg[at + 1] == 0xC4 || jpeg[at + 1] == 0xCC)) {
    at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
  }
  ASSERT_TRUE(InBounds(jpeg, at, 10));
  EXPECT_EQ(jpeg[at + 1], 0xC0) << "SOF0";
  EXPECT_EQ(jpeg[at + 4], 8) << "bits per sample";
  EXPECT_EQ(jpeg[at + 5] << 8 | jpeg[at + 6], 100);
  EXPECT_EQ(jpeg[at + 7] << 8 | jpeg[at + 8], 100);
  EXPECT_EQ(jpeg[at + 9], 3) << "components";
}

TEST(AssetsTest, DefaultBoxPictureHasTheSnapshotHeader) {
  const ByteView bmp = DefaultBoxPicture();
  ASSERT_EQ(bmp.size(), 30054u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  const struct {
    std::size_t offset;
    int size;
    std::uint32_t value;
  } fields[] = {{2, 4, 30054}, {6, 2, 0},   {8, 2, 0},   {10, 4, 54}, {14, 4, 40}, {18, 4, 100},
                {22, 4, 100},  {26, 2, 1},  {28, 2, 24}, {30, 4, 0},  {34, 4, 30000}, {38, 4, 0},
                {42, 4, 0},    {46, 4, 0},  {50, 4, 0}};
  for (const auto& field : fields) {
    const std::uint32_t value = field.size == 2 ? *ReadU16(bmp, field.offset) : *ReadU32(bmp, field.offset);
    EXPECT_EQ(value, field.value) << "offset " << field.offset;
  }
}

TEST(AssetsTest, WindowIconHoldsOne92By92ImageOf32Bits) {
  const ByteView icon = WindowIcon();
  ASSERT_GE(icon.size(), 62u);
  EXPECT_EQ(*ReadU16(icon, 0), 0);
  EXPECT_EQ(*ReadU16(icon, 2), 1) << "icon";
  EXPECT_EQ(*ReadU16(icon, 4), 1) << "one image";
  EXPECT_EQ(icon[6], 92);
  EXPECT_EQ(icon[7], 92);
  EXPECT_EQ(*ReadU16(icon, 12), 32) << "bits per pixel";
  const std::uint32_t size = *ReadU32(icon, 14), offset = *ReadU32(icon, 18);
  EXPECT_EQ(std::size_t{offset} + size, icon.size());
  EXPECT_EQ(*ReadU32(icon, offset), 40u);
  EXPECT_EQ(*ReadI32(icon, offset + 4), 92);
  EXPECT_EQ(*ReadI32(icon, offset + 8), 184) << "colour rows and mask rows";
  EXPECT_EQ(*ReadU16(icon, offset + 14), 32);
  EXPECT_EQ(size, 40u + 92 * 92 * 4 + 92 * 12) << "BGRA rows and a 1-bit mask";
  const Result<StillPicture> still = LoadStillPicture(icon);
  ASSERT_TRUE(still.ok()) << FailureText(still.failure());
  EXPECT_EQ(still->format, PictureFormat::kIcon);
  EXPECT_EQ(still->width(), 92);
  EXPECT_EQ(still->height(), 92);
  ASSERT_EQ(still->mask.kind, MaskKind::kAlpha);
  EXPECT_EQ(still->mask.values.front(), 0) << "the corner is transparent ground";
  EXPECT_EQ(still->mask.values[46 * 92 + 10], 255) << "the tile is opaque";
}

}  // namespace
}  // namespace pictorin
