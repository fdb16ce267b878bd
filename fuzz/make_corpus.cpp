// Writes the seed corpora's made files: GIFs block by block, JPEG and PNG
// files through libjpeg's and libpng's writers, the two controls' settings
// records around small pictures of every format, and file dialog filters.
// Usage: make_corpus CORPUS_ROOT (fuzz/make_corpus.sh runs it after making
// the ImageMagick files, some of which the records embed).

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/layout.h"
#include "controls/cartoon_box.h"
#include "controls/record_writer.h"
#include "io/snapshot.h"
#include "tests/support/encoders.h"
#include "tests/support/gif_builder.h"

namespace pictorin {
namespace {

namespace fs = std::filesystem;
using test::GifBuilder;
using test::GifImageSpec;

const std::vector<Colour> kTable = {MakeColour(255, 0, 0), MakeColour(0, 255, 0), MakeColour(0, 0, 255),
                                    MakeColour(255, 255, 255)};

void Put(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

Bytes Get(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Checker(int x, int y) { return (x / 2 + y / 2) % 4; }
int Stripes(int x, int) { return x % 4; }

GifImageSpec Image(int left, int top, int width, int height, int (*index_at)(int, int)) {
  GifImageSpec spec;
  spec.left = left, spec.top = top, spec.width = width, spec.height = height;
  spec.indices = test::Indices(width, height, index_at);
  spec.min_code_size = 2;
  return spec;
}

// GIFs that reach the reader's blocks: control values, disposal, local and
// missing tables, interlace, every extension, early ends.
std::vector<std::pair<std::string, Bytes>> Gifs() {
  GifImageSpec local = Image(2, 3, 8, 6, Stripes);
  local.local_table = {MakeColour(9, 9, 9), MakeColour(200, 100, 0)};
  GifImageSpec interlaced = Image(0, 0, 16, 19, Checker);
  interlaced.interlaced = true;
  GifImageSpec wide = Image(0, 0, 300, 2, Stripes);
  wide.min_code_size = 8;
  Bytes no_trailer = GifBuilder(16, 16, kTable).Image(Image(0, 0, 16, 16, Checker)).bytes();
  Bytes cut = GifBuilder(16, 16, kTable).Control(0, 3).Image(Image(0, 0, 16, 16, Checker)).Trailer().bytes();
  cut.resize(cut.size() - 6);
  return {
      {"single.gif", GifBuilder(16, 16, kTable).Image(Image(0, 0, 16, 16, Checker)).Trailer().bytes()},
      {"animation.gif", GifBuilder(16, 16, kTable)
                            .LoopCount(0)
                            .Control(0, 10)
                            .Image(Image(0, 0, 16, 16, Checker))
                            .Control(2, 0, 3)
                            .Image(Image(4, 4, 8, 8, Stripes))
                            .Control(3, 5, 0)
                            .Image(local)
                            .Trailer()
                            .bytes()},
      {"interlaced-87a.gif", GifBuilder(16, 19, kTable, "87a").Image(interlaced).Trailer().bytes()},
      {"extensions.gif", GifBuilder(16, 16, {})
                             .Comment("made for the fuzzer")
                             .Append({0x21, 0x01, 0x0C, 0, 0, 0, 0, 16, 0, 16, 0, 8, 8, 1, 0, 1, 'x', 0})
                             .Image(local)
                             .Append({0x21, 0x99, 0x00})
                             .Image(Image(0, 0, 4, 4, Checker))
                             .Trailer()
                             .bytes()},
      {"beyond-the-screen.gif", GifBuilder(10, 10, kTable).Image(Image(6, 7, 9, 9, Checker)).Trailer().bytes()},
      {"eight-bit-codes.gif", GifBuilder(300, 2, std::vector<Colour>(256)).Image(wide).Trailer().bytes()},
      {"no-trailer.gif", no_trailer},
      {"cut.gif", cut},
  };
}

std::uint16_t Gradient(int x, int y, int c) { return static_cast<std::uint16_t>((x * 7 + y * 3 + c * 50) & 0xFF); }

std::vector<std::pair<std::string, Bytes>> Jpegs() {
  test::JpegOptions rgb{40, 30, 3, false, 80, Gradient};
  test::JpegOptions grey{33, 17, 1, false, 90, Gradient};
  test::JpegOptions progressive{48, 40, 3, true, 75, Gradient};
  test::JpegOptions cmyk{16, 24, 4, false, 90, Gradient};
  Bytes truncated = test::EncodeJpeg({64, 64, 3, false, 90, Gradient});
  truncated.resize(truncated.size() * 2 / 3);
  return {{"rgb.jpg", test::EncodeJpeg(rgb)},
          {"grey.jpg", test::EncodeJpeg(grey)},
          {"progressive.jpg", test::EncodeJpeg(progressive)},
          {"cmyk.jpg", test::EncodeJpeg(cmyk)},
          {"truncated.jpg", truncated}};
}

std::vector<std::pair<std::string, Bytes>> Pngs() {
  using test::PngColour;
  auto png = [](int width, int height, PngColour colour, int depth) {
    test::PngOptions options;
    options.width = width, options.height = height, options.colour = colour, options.bit_depth = depth;
    options.sample = [depth](int x, int y, int c) {
      return static_cast<std::uint16_t>((x * 5 + y * 11 + c * 3) % (1 << depth));
    };
    return options;
  };
  test::PngOptions palette = png(20, 10, PngColour::kPalette, 4);
  palette.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {1, 2, 3}, {250, 250, 250}};
  palette.palette_alpha = {0, 128};
  palette.sample = [](int x, int y, int) { return static_cast<std::uint16_t>((x + y) % 5); };
  test::PngOptions interlaced = png(23, 19, PngColour::kRgb, 8);
  interlaced.interlaced = true;
  test::PngOptions background = png(12, 12, PngColour::kRgba, 8);
  background.background = test::PngBackground{0, 0, 10, 200, 30};
  return {{"rgba.png", test::EncodePng(png(16, 16, PngColour::kRgba, 8))},
          {"rgba16.png", test::EncodePng(png(9, 7, PngColour::kRgba, 16))},
          {"grey1.png", test::EncodePng(png(17, 5, PngColour::kGrey, 1))},
          {"grey2.png", test::EncodePng(png(13, 6, PngColour::kGrey, 2))},
          {"grey-alpha.png", test::EncodePng(png(8, 8, PngColour::kGreyAlpha, 8))},
          {"palette.png", test::EncodePng(palette)},
          {"interlaced.png", test::EncodePng(interlaced)},
          {"background.png", test::EncodePng(background)}};
}

Bytes SmallBmp() {
  Raster raster{7, 5, Bytes(7 * 5 * 4)};
  for (std::size_t i = 0; i < raster.pixels.size(); ++i) raster.pixels[i] = static_cast<std::uint8_t>(i * 13);
  return EncodeSnapshot(raster, 7, 5, 32);
}

// A 1-bit PCX of 21 × 10 pixels in stripes, each row of 4 stored bytes one
// run; ImageMagick writes no 1-bit PCX files.
Bytes MonoPcx() {
  Bytes pcx(128 + 10 * 2, 0);
  pcx[0] = 0x0A, pcx[1] = 3, pcx[2] = 1, pcx[3] = 1;
  pcx[8] = 20, pcx[10] = 9;      // right and bottom edges
  pcx[65] = 1, pcx[66] = 4;      // one plane, 4 bytes a row
  for (std::size_t y = 0; y < 10; ++y) {
    pcx[128 + 2 * y] = 0xC4;
    pcx[129 + 2 * y] = y % 2 ? 0xAA : 0x0F;
  }
  return pcx;
}

Bytes CanvasRecord(std::int32_t version, std::int32_t border, std::int32_t mode, const Bytes& pic) {
  if (version == 2) {
    CartoonBoxSettings settings;
    settings.border = border, settings.pic_draw_mode = mode, settings.pic = pic;
    settings.font = Bytes(60, 1);
    return WriteCartoonBoxRecord(settings);
  }
  return RecordWriter().Int(version).Int(border).Int(0x00336699).Int(mode).Blob(pic).Take();
}

Bytes BoxRecord(std::int32_t version, std::int32_t mode, std::int32_t play, const Bytes& file) {
  RecordWriter record;
  record.Int(version).Int(1).Int(static_cast<std::int32_t>(kNoColour)).Int(mode).Int(play).Blob(file);
  if (version == 2) record.Text("Source").Text("Item");
  return record.Take();
}

void WriteRecords(const fs::path& root, const std::vector<std::pair<std::string, Bytes>>& gifs) {
  const Bytes jpeg = test::EncodeJpeg({20, 20, 3, false, 80, Gradient});
  const Bytes png = test::EncodePng({10, 10, test::PngColour::kRgba, 8, false, {}, {}, {}, Gradient});
  const Bytes icon = Get(root / "pictures" / "two-sizes.ico");
  const Bytes pcx = Get(root / "pictures" / "palette.pcx");
  const Bytes single = gifs[0].second, animation = gifs[1].second;
  const fs::path canvas = root / "cartoon_box", box = root / "pic_box";
  Put(canvas / "window-layout.rec", pictorin::CanvasRecord());
  Put(canvas / "v2-stretched-jpeg.rec", CanvasRecord(2, 0, 1, jpeg));
  Put(canvas / "v2-centred-bmp.rec", CanvasRecord(2, 3, 2, SmallBmp()));
  Put(canvas / "v2-tiled-gif.rec", CanvasRecord(2, 5, 3, animation));
  Put(canvas / "v1-icon.rec", CanvasRecord(1, 7, 0, icon));
  Put(canvas / "v0-pcx-mode-9.rec", CanvasRecord(0, -1, 9, pcx));
  Put(canvas / "v2-png.rec", CanvasRecord(2, 1, 1, png));
  Put(canvas / "v0-empty.rec", CanvasRecord(0, 0, 0, {}));
  Put(box / "window-layout.rec", pictorin::BoxRecord());
  Put(box / "v2-stretched-jpeg.rec", BoxRecord(2, 1, 1, jpeg));
  Put(box / "v2-centred-icon.rec", BoxRecord(2, 2, 1, icon));
  Put(box / "v1-picture-sized-bmp.rec", BoxRecord(1, 3, 1, SmallBmp()));
  Put(box / "v2-single-gif.rec", BoxRecord(2, 1, 1, single));
  Put(box / "v2-animated-gif.rec", BoxRecord(2, 1, 1, animation));
  Put(box / "v0-first-image-only.rec", BoxRecord(0, -4, 0, animation));
  Put(box / "v2-pcx.rec", BoxRecord(2, 0, 1, pcx));
  Put(box / "v2-png.rec", BoxRecord(2, 1, 1, png));
}

void WriteFilters(const fs::path& folder) {
  const char* filters[] = {
      "图片文件(*.jpg)|*.jpg|*.gif", "图片文件(*.jpg)|*.jpg", "", "Pictures|*.jpg;*.gif|All|*.*||",
      "one|", "|||", "  \t\r\n", "a|b|c|d|e  ", "|leading|bar",
  };
  int i = 0;
  for (const char* filter : filters) {
    const std::string text(filter);
    Put(folder / ("filter-" + std::to_string(i++)), Bytes(text.begin(), text.end()));
  }
}

}  // namespace
}  // namespace pictorin

int main(int argc, char** argv) {
  using namespace pictorin;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_ROOT\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  const auto gifs = Gifs();
  for (const auto& [name, bytes] : gifs) {
    Put(root / "gif" / name, bytes);
    Put(root / "pictures" / name, bytes);
  }
  for (const auto& [name, bytes] : Jpegs()) Put(root / "pictures" / name, bytes);
  for (const auto& [name, bytes] : Pngs()) Put(root / "pictures" / name, bytes);
  Put(root / "pictures" / "mono.pcx", MonoPcx());
  WriteRecords(root, gifs);
  WriteFilters(root / "filter_list");
  return 0;
}
