// pictorin-cli run as a user runs it: exit codes, messages and output files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/picture.h"
#include "io/whole_file.h"
#include "tests/support/encoders.h"

namespace pictorin {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::StartsWith;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

class CliTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pictorin-cli-test-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  std::string Write(const std::string& name, const Bytes& bytes) const {
    EXPECT_TRUE(WriteWholeFile(Path(name), {bytes}));
    return Path(name);
  }

  // Runs the tool with arguments (quoted by the caller where needed).
  CliRun Cli(const std::string& args) const {
    const std::string out = Path("stdout.txt"), err = Path("stderr.txt");
    const int raw = std::system((std::string(PICTORIN_CLI) + " " + args + " >" + out + " 2>" + err).c_str());
    return {WEXITSTATUS(raw), Slurp(out), Slurp(err)};
  }

  static std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path dir_;
};

Bytes SmallRgbaPng() {
  test::PngOptions options;
  options.width = 3;
  options.height = 2;
  options.sample = [](int x, int y, int c) -> std::uint16_t { return c == 3 ? 40 * (x + y) : 50 * c + 30 * x + y; };
  return test::EncodePng(options);
}

Bytes SmallJpeg() {
  test::JpegOptions options;
  options.width = 8;
  options.height = 4;
  options.sample = [](int, int, int) -> std::uint16_t { return 128; };
  return test::EncodeJpeg(options);
}

struct UsageCase {
  const char* args;
  int status;
};

class CliUsageTest : public CliTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, ExitStatus) {
  const CliRun run = Cli(GetParam().args);
  EXPECT_EQ(run.status, GetParam().status) << run.err;
  if (run.status == 0) {
    EXPECT_THAT(run.out, StartsWith("usage: pictorin-cli"));
  } else {
    EXPECT_THAT(run.err, HasSubstr("usage: pictorin-cli"));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, CliUsageTest,
                         testing::Values(UsageCase{"", 2}, UsageCase{"--help", 0}, UsageCase{"info --help", 0},
                                         UsageCase{"decode --help", 0}, UsageCase{"frobnicate", 2},
                                         UsageCase{"info", 2}, UsageCase{"info a b", 2},
                                         UsageCase{"decode a.gif", 2}, UsageCase{"decode -o out.png", 2},
                                         UsageCase{"decode a.gif -o out.png --frame x", 2},
                                         UsageCase{"decode a.gif -o out.png --frame -1", 2},
                                         UsageCase{"decode a.gif -o out.png --bogus", 2},
                                         UsageCase{"compose --help", 0}, UsageCase{"compose a.jpg -o out.bmp", 2},
                                         UsageCase{"compose a.jpg --badge gold -o out.bmp", 2},
                                         UsageCase{"compose a.jpg --badge svip", 2}, UsageCase{"resize a.jpg", 2},
                                         UsageCase{"resize -o out.bmp", 2}, UsageCase{"export-assets", 2}));

TEST_F(CliTest, InfoPrintsFormatSizeAndFrames) {
  const std::string jpeg = Write("photo.jpg", SmallJpeg());
  EXPECT_EQ(Cli("info " + jpeg).out,
            "format: JPEG\nwidth: 8\nheight: 4\nframes: 1\nframe 0: delay 0 ms, transparent colour none\n");
  EXPECT_THAT(Cli("info " + Write("badge.png", SmallRgbaPng())).out, StartsWith("format: PNG\nwidth: 3\n"));
}

struct BadInputCase {
  const char* name;
  Bytes bytes;
  const char* reason;
};

class CliBadInputTest : public CliTest, public testing::WithParamInterface<BadInputCase> {};

TEST_P(CliBadInputTest, OneLineNamingTheFileAndNoOutput) {
  const std::string input = Write(GetParam().name, GetParam().bytes);
  const std::string output = Path("out.png");
  for (const std::string& command : {"info " + input, "decode " + input + " -o " + output}) {
    const CliRun run = Cli(command);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_EQ(run.err, "pictorin-cli: " + input + ": " + GetParam().reason + "\n") << command;
  }
  EXPECT_FALSE(fs::exists(output));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliBadInputTest,
    testing::Values(BadInputCase{"empty.jpg", {}, "cannot be read (missing, empty, a folder or not readable)"},
                    BadInputCase{"text.jpg", {'h', 'e', 'l', 'l', 'o', '\n'},
                                 "no picture: not a picture in a format this program reads"},
                    BadInputCase{"short.bmp", {'B', 'M', 0, 0, 0, 0, 0, 0}, "no picture: the picture data end early"}),
    [](const testing::TestParamInfo<BadInputCase>& info) {
      std::string name = info.param.name;
      return name.substr(0, name.find('.'));
    });

TEST_F(CliTest, MissingFileIsReadError) {
  const CliRun run = Cli("info " + Path("nothing-here.gif"));
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("nothing-here.gif: cannot be read"));
}

TEST_F(CliTest, DecodeWritesFrameAsRgbaPngThatDecodesBackToTheSamePixels) {
  const Bytes source = SmallRgbaPng();
  const std::string output = Path("out.png");
  ASSERT_EQ(Cli("decode " + Write("in.png", source) + " -o " + output).status, 0);
  auto original = DecodePicture(source, kNoColour, false);
  auto written = DecodePicture(ReadWholeFile(output), kNoColour, false);
  ASSERT_TRUE(original && written);
  EXPECT_EQ(written->frames[0].pixels, original->frames[0].pixels);
}

TEST_F(CliTest, DecodeStillWritesOpaqueRgbAndRefusesPng) {
  const std::string output = Path("still.png");
  ASSERT_EQ(Cli("decode " + Write("in.jpg", SmallJpeg()) + " --still -o " + output).status, 0);
  auto written = DecodePicture(ReadWholeFile(output), kNoColour, false);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->width, 8);

  const CliRun png = Cli("decode " + Write("in.png", SmallRgbaPng()) + " --still -o " + Path("none.png"));
  EXPECT_EQ(png.status, 1);
  EXPECT_THAT(png.err, HasSubstr("no still picture"));
  EXPECT_FALSE(fs::exists(Path("none.png")));
}

TEST_F(CliTest, FrameBeyondTheLastIsAnError) {
  const CliRun run = Cli("decode " + Write("in.jpg", SmallJpeg()) + " --frame 1 -o " + Path("out.png"));
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("has no frame 1 (frames: 1)"));
  EXPECT_FALSE(fs::exists(Path("out.png")));
}

TEST_F(CliTest, ComposeAndResizeWriteBmpWhateverTheName) {
  const std::string photo = Write("photo.jpg", SmallJpeg());
  ASSERT_EQ(Cli("compose " + photo + " --badge svip --badge iphone -o " + Path("avatar.jpg")).status, 0);
  ASSERT_EQ(Cli("resize " + photo + " -o " + Path("small.gif")).status, 0);
  for (const char* name : {"avatar.jpg", "small.gif"}) {
    const Bytes saved = ReadWholeFile(Path(name));
    ASSERT_EQ(saved.size(), 30054u) << name;
    EXPECT_EQ(DetectPictureFormat(saved), PictureFormat::kBmp) << name;
  }
}

TEST_F(CliTest, FailedComposeOrResizeLeavesAnExistingOutputAsItWas) {
  const Bytes old = {'o', 'l', 'd'};
  const std::string output = Write("out.bmp", old);
  const CliRun compose = Cli("compose " + Write("text.jpg", {'t', 'e', 'x', 't', '!', '!'}) + " --badge svip -o " + output);
  EXPECT_EQ(compose.status, 1);
  EXPECT_THAT(compose.err, HasSubstr("text.jpg: no picture"));
  const CliRun resize = Cli("resize " + Write("badge.png", SmallRgbaPng()) + " -o " + output);
  EXPECT_EQ(resize.status, 1);
  EXPECT_THAT(resize.err, HasSubstr("badge.png: no picture"));
  EXPECT_EQ(ReadWholeFile(output), old);
}

TEST_F(CliTest, ExportAssetsWritesTheBuiltInPicturesUnchanged) {
  const CliRun run = Cli("export-assets " + dir_.string());
  ASSERT_EQ(run.status, 0) << run.err;
  const Bytes icon = ReadWholeFile(Path("window-icon.ico"));
  EXPECT_EQ(DetectPictureFormat(icon), PictureFormat::kIcon);
  EXPECT_EQ(Cli("export-assets " + Path("no-such-folder")).status, 1);
}

}  // namespace
}  // namespace pictorin
