#include <gtest/gtest.h>

#include "imaging/picture.h"

namespace pictorin {
namespace {

struct DetectCase {
  const char* name;
  Bytes bytes;
  PictureFormat expected;
};

class DetectTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectTest, RecognisesByFirstBytes) {
  EXPECT_EQ(DetectPictureFormat(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DetectTest,
    testing::Values(
        DetectCase{"five_bytes_of_bmp", {'B', 'M', 0, 0, 0}, PictureFormat::kUnknown},
        DetectCase{"bmp", {'B', 'M', 0, 0, 0, 0}, PictureFormat::kBmp},
        DetectCase{"jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0}, PictureFormat::kJpeg},
        DetectCase{"icon", {0, 0, 1, 0, 1, 0}, PictureFormat::kIcon},
        DetectCase{"icon_without_entries", {0, 0, 1, 0, 0, 0}, PictureFormat::kUnknown},
        DetectCase{"icon_count_high_byte", {0, 0, 1, 0, 0, 1}, PictureFormat::kIcon},
        DetectCase{"cursor", {0, 0, 2, 0, 3, 0}, PictureFormat::kCursor},
        DetectCase{"gif87a", {'G', 'I', 'F', '8', '7', 'a'}, PictureFormat::kGif},
        DetectCase{"gif89a", {'G', 'I', 'F', '8', '9', 'a'}, PictureFormat::kGif},
        DetectCase{"gif88a", {'G', 'I', 'F', '8', '8', 'a'}, PictureFormat::kUnknown},
        DetectCase{"pcx8_version5", {0x0A, 5, 1, 8, 0, 0}, PictureFormat::kPcx8},
        DetectCase{"pcx8_version0", {0x0A, 0, 1, 8, 0, 0}, PictureFormat::kPcx8},
        DetectCase{"pcx8_version6", {0x0A, 6, 1, 8, 0, 0}, PictureFormat::kUnknown},
        DetectCase{"pcx1_version3", {0x0A, 3, 1, 1, 0, 0}, PictureFormat::kPcx1},
        DetectCase{"pcx1_version5", {0x0A, 5, 1, 1, 0, 0}, PictureFormat::kUnknown},
        DetectCase{"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, PictureFormat::kUnknown},
        DetectCase{"text", {'h', 'e', 'l', 'l', 'o', '!'}, PictureFormat::kUnknown}),
    [](const testing::TestParamInfo<DetectCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pictorin
