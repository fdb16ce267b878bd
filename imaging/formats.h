#pragma once
// The per-format decoders behind the operations of picture.h. Each takes the
// whole file's bytes.

#include "imaging/picture.h"

namespace pictorin {

Result<Raster> DecodeJpeg(ByteView bytes);
Result<Raster> DecodeBmp(ByteView bytes);
Result<Raster> DecodePcx(ByteView bytes);  // 8-bit and 1-bit
Result<StillPicture> DecodeIcon(ByteView bytes, PictureFormat format);  // kIcon or kCursor

// The PNG path of DecodePicture: one frame, transparency from the alpha channel.
Result<Picture> DecodePng(ByteView bytes);

// The GIF paths: the first image as a still raster, and all frames composed.
Result<Raster> DecodeGifFirstImage(ByteView bytes);
Result<Picture> ComposeGifFrames(ByteView bytes);

}  // namespace pictorin
