// Reading a 100-frame 320 × 240 animation (256 colours: a dithered gradient
// under moving shapes), written by giflib's encoder: our GifReader delivering
// every image against giflib's DGifSlurp of the same bytes, plus the full
// frame composition of DecodePicture. Target: the reader at most as slow as
// DGifSlurp. At start the reader's indices are checked against giflib's.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include <benchmark/benchmark.h>

#include "imaging/gif.h"
#include "imaging/picture.h"

namespace pictorin {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFrames = 100;

// 0..191: a colour gradient; 192..255: the shapes' colours.
ColorMapObject* MakePalette() {
  GifColorType colours[256];
  for (int i = 0; i < 256; ++i) {
    const bool shape = i >= 192;
    colours[i].Red = static_cast<GifByteType>(shape ? (i - 192) * 4 : i * 255 / 191);
    colours[i].Green = static_cast<GifByteType>(shape ? 255 - (i - 192) * 4 : 128 + i / 3);
    colours[i].Blue = static_cast<GifByteType>(shape ? 64 : 255 - i * 255 / 191);
  }
  return GifMakeMapObject(256, colours);
}

// A diagonal gradient with 4 × 4 ordered dithering that drifts over time,
// under two moving discs and a moving bar.
GifByteType PixelAt(int x, int y, int t) {
  static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  const int cx1 = 40 + t * 2, cy1 = 120 + (t % 40) - 20;
  const int cx2 = 280 - t * 2, cy2 = 60 + t;
  if ((x - cx1) * (x - cx1) + (y - cy1) * (y - cy1) < 900) return static_cast<GifByteType>(200 + (x + y) % 8);
  if ((x - cx2) * (x - cx2) + (y - cy2) * (y - cy2) < 400) return static_cast<GifByteType>(220 + y % 4);
  if (x > t * 3 && x < t * 3 + 24) return 250;
  const int level = (x + y + t * 2) * 16 * 191 / (kWidth + kHeight + kFrames * 2) + bayer[y & 3][x & 3];
  return static_cast<GifByteType>(level / 16);
}

int WriteToBytes(GifFileType* gif, const GifByteType* data, int size) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + size);
  return size;
}

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "gif_bench: %s\n", what);
  std::exit(1);
}

Bytes EncodeAnimation() {
  Bytes bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, WriteToBytes, &error);
  Check(gif != nullptr, "EGifOpen failed");
  EGifSetGifVersion(gif, true);
  ColorMapObject* palette = MakePalette();
  Check(EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, palette) == GIF_OK, "screen descriptor");
  const char loop[] = {1, 0, 0};
  Check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
            EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, loop) == GIF_OK &&
            EGifPutExtensionTrailer(gif) == GIF_OK,
        "loop block");
  std::vector<GifPixelType> row(kWidth);
  for (int t = 0; t < kFrames; ++t) {
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 4, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK, "control block");
    Check(EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK, "image descriptor");
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) row[x] = PixelAt(x, y, t);
      Check(EGifPutLine(gif, row.data(), kWidth) == GIF_OK, "image line");
    }
  }
  Check(EGifCloseFile(gif, &error) == GIF_OK, "EGifCloseFile");
  GifFreeMapObject(palette);
  return bytes;
}

struct Reading {
  const Bytes* bytes;
  std::size_t at = 0;
};

int ReadFromBytes(GifFileType* gif, GifByteType* to, int size) {
  auto* reading = static_cast<Reading*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(size, reading->bytes->size() - reading->at);
  std::memcpy(to, reading->bytes->data() + reading->at, n);
  reading->at += n;
  return static_cast<int>(n);
}

// giflib's decode of every image; the caller closes the file.
GifFileType* Slurp(const Bytes& bytes, Reading& reading) {
  reading = {&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reading, ReadFromBytes, &error);
  if (gif != nullptr && DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return nullptr;
  }
  return gif;
}

// Our reader must give every image with giflib's indices.
void CheckAgainstGiflib(const Bytes& bytes) {
  Reading reading;
  GifFileType* gif = Slurp(bytes, reading);
  Check(gif != nullptr && gif->ImageCount == kFrames, "giflib did not read the animation");
  auto reader = GifReader::Open(bytes, false);
  Check(reader.ok(), "GifReader did not open the animation");
  for (int i = 0; i < kFrames; ++i) {
    auto image = reader->NextImage();
    Check(image.ok(), "GifReader missed an image");
    const GifByteType* expected = gif->SavedImages[i].RasterBits;
    Check(image->indices.size() == std::size_t{kWidth} * kHeight &&
              std::equal(image->indices.begin(), image->indices.end(), expected),
          "GifReader's indices differ from giflib's");
  }
  Check(!reader->NextImage().ok(), "GifReader found an image too many");
  int error = 0;
  DGifCloseFile(gif, &error);
}

const Bytes& Animation() {
  static const Bytes bytes = [] {
    Bytes encoded = EncodeAnimation();
    CheckAgainstGiflib(encoded);
    return encoded;
  }();
  return bytes;
}

void SetCounters(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kFrames);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Animation().size()));
  state.counters["file_bytes"] = static_cast<double>(Animation().size());
}

void BM_GifReaderImages(benchmark::State& state) {
  const Bytes& bytes = Animation();
  for (auto _ : state) {
    auto reader = GifReader::Open(bytes, false);
    int images = 0;
    for (auto image = reader->NextImage(); image.ok(); image = reader->NextImage()) {
      benchmark::DoNotOptimize(image->indices.data());
      ++images;
    }
    if (images != kFrames) state.SkipWithError("the reader missed images");
  }
  SetCounters(state);
}
BENCHMARK(BM_GifReaderImages)->Unit(benchmark::kMillisecond);

void BM_GiflibSlurp(benchmark::State& state) {
  const Bytes& bytes = Animation();
  for (auto _ : state) {
    Reading reading;
    GifFileType* gif = Slurp(bytes, reading);
    if (gif == nullptr || gif->ImageCount != kFrames) state.SkipWithError("giflib missed images");
    benchmark::DoNotOptimize(gif);
    int error = 0;
    if (gif != nullptr) DGifCloseFile(gif, &error);
  }
  SetCounters(state);
}
BENCHMARK(BM_GiflibSlurp)->Unit(benchmark::kMillisecond);

void BM_DecodePictureFrames(benchmark::State& state) {
  const Bytes& bytes = Animation();
  for (auto _ : state) {
    auto picture = DecodePicture(bytes, kNoColour, false);
    if (!picture || picture->frames.size() != kFrames) state.SkipWithError("the composition missed frames");
    benchmark::DoNotOptimize(picture);
  }
  SetCounters(state);
}
BENCHMARK(BM_DecodePictureFrames)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pictorin

BENCHMARK_MAIN();
