// pictorin-cli: the program's picture work without a window.

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/png_output.h"
#include "imaging/picture.h"
#include "io/whole_file.h"

namespace pictorin::cli {
namespace {

using Args = std::vector<std::string_view>;

struct Command {
  std::string_view name;
  std::string_view usage;  // the lines after "usage: "
  int (*run)(const Args& args);
};

extern const std::vector<Command> kCommands;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void PrintTo(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

std::string ToolUsage() {
  std::string text = "usage: pictorin-cli COMMAND [ARGS]\n\ncommands:\n";
  for (const Command& command : kCommands) text += "  pictorin-cli " + std::string(command.usage) + "\n";
  text += "\nEach command takes --help.\n";
  return text;
}

int UsageError(const Command& command, std::string_view problem) {
  PrintTo(stderr, "pictorin-cli: " + std::string(problem) + "\nusage: pictorin-cli " +
                      std::string(command.usage) + "\n");
  return kExitUsage;
}

// One line naming the file and the reason, exit status 1.
int FileError(std::string_view file, std::string_view reason) {
  PrintTo(stderr, "pictorin-cli: " + std::string(file) + ": " + std::string(reason) + "\n");
  return kExitFailure;
}

std::string_view FormatName(ByteView bytes) {
  switch (DetectPictureFormat(bytes)) {
    case PictureFormat::kJpeg: return "JPEG";
    case PictureFormat::kBmp: return "BMP";
    case PictureFormat::kIcon: return "ICO";
    case PictureFormat::kCursor: return "CUR";
    case PictureFormat::kGif: return "GIF";
    case PictureFormat::kPcx8: return "PCX (8-bit)";
    case PictureFormat::kPcx1: return "PCX (1-bit)";
    case PictureFormat::kUnknown: break;
  }
  static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() >= 8 && std::equal(std::begin(kPng), std::end(kPng), bytes.begin())) return "PNG";
  return "unknown";
}

std::string ColourText(Colour colour) {
  if (colour == kNoColour) return "none";
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF);
  return text;
}

// Reads FILE; empty Bytes is reported as the file's error.
bool ReadInput(std::string_view file, Bytes& bytes) {
  bytes = ReadWholeFile(std::string(file));
  return !bytes.empty();
}

constexpr std::string_view kUnreadable = "cannot be read (missing, empty, a folder or not readable)";

int RunInfo(const Args& args) {
  const Command& self = kCommands[0];
  if (args.size() != 1 || args[0].starts_with('-')) return UsageError(self, "info takes one FILE");
  Bytes bytes;
  if (!ReadInput(args[0], bytes)) return FileError(args[0], kUnreadable);
  auto picture = DecodePicture(bytes, kNoColour, false);
  if (!picture) return FileError(args[0], "no picture: " + std::string(FailureText(picture.failure())));
  std::string text = "format: " + std::string(FormatName(bytes)) + "\nwidth: " + std::to_string(picture->width) +
                     "\nheight: " + std::to_string(picture->height) +
                     "\nframes: " + std::to_string(picture->frames.size()) + "\n";
  for (std::size_t i = 0; i < picture->frames.size(); ++i) {
    const Frame& frame = picture->frames[i];
    text += "frame " + std::to_string(i) + ": delay " + std::to_string(frame.delay_ms) +
            " ms, transparent colour " + ColourText(frame.transparent) + "\n";
  }
  PrintTo(stdout, text);
  return 0;
}

struct DecodeArgs {
  std::string_view input;
  std::string_view output;
  std::size_t frame = 0;
  bool still = false;
};

// Parses "FILE -o OUT [--frame N] [--still]"; empty on a bad argument.
std::optional<DecodeArgs> ParseDecodeArgs(const Args& args) {
  DecodeArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool has_value = i + 1 < args.size();
    if ((arg == "-o" || arg == "--output") && has_value) {
      parsed.output = args[++i];
    } else if (arg == "--frame" && has_value) {
      const std::string_view value = args[++i];
      auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parsed.frame);
      if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    } else if (arg == "--still") {
      parsed.still = true;
    } else if (!arg.starts_with('-') && parsed.input.empty()) {
      parsed.input = arg;
    } else {
      return std::nullopt;
    }
  }
  if (parsed.input.empty() || parsed.output.empty()) return std::nullopt;
  return parsed;
}

// The PNG of the chosen frame or of the still raster, or why there is none.
struct DecodedPng {
  Bytes png;
  std::string reason;
};

DecodedPng EncodeChosenPicture(ByteView bytes, const DecodeArgs& args) {
  if (args.still) {
    auto raster = RenderPictureBitmap(bytes);
    if (!raster) return {{}, "no still picture: " + std::string(FailureText(raster.failure()))};
    return {EncodeRasterPng(*raster), "the PNG could not be encoded"};
  }
  auto picture = DecodePicture(bytes, kNoColour, false);
  if (!picture) return {{}, "no picture: " + std::string(FailureText(picture.failure()))};
  if (args.frame >= picture->frames.size()) {
    return {{}, "has no frame " + std::to_string(args.frame) + " (frames: " +
                    std::to_string(picture->frames.size()) + ")"};
  }
  return {EncodeFramePng(picture->width, picture->height, picture->frames[args.frame]),
          "the PNG could not be encoded"};
}

int RunDecode(const Args& args) {
  const Command& self = kCommands[1];
  auto parsed = ParseDecodeArgs(args);
  if (!parsed) return UsageError(self, "decode needs FILE and -o OUT.png");
  Bytes bytes;
  if (!ReadInput(parsed->input, bytes)) return FileError(parsed->input, kUnreadable);
  const DecodedPng decoded = EncodeChosenPicture(bytes, *parsed);
  if (decoded.png.empty()) return FileError(parsed->input, decoded.reason);
  if (!WriteWholeFile(std::string(parsed->output), {decoded.png})) return FileError(parsed->output, "cannot be written");
  return 0;
}

const std::vector<Command> kCommands = {
    {"info", "info FILE\n    print the format, size, frame count and each frame's delay and transparent colour",
     RunInfo},
    {"decode",
     "decode FILE -o OUT.png [--frame N] [--still]\n"
     "    write frame N (default 0) as an RGBA PNG, or with --still the still picture as an RGB PNG",
     RunDecode},
};

bool WantsHelp(const Args& args) {
  for (std::string_view arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

int Main(const Args& args) {
  if (args.empty()) return PrintTo(stderr, ToolUsage()), kExitUsage;
  if (args[0] == "--help" || args[0] == "-h") return PrintTo(stdout, ToolUsage()), 0;
  for (const Command& command : kCommands) {
    if (args[0] != command.name) continue;
    const Args rest(args.begin() + 1, args.end());
    if (WantsHelp(rest)) return PrintTo(stdout, "usage: pictorin-cli " + std::string(command.usage) + "\n"), 0;
    return command.run(rest);
  }
  PrintTo(stderr, "pictorin-cli: unknown command '" + std::string(args[0]) + "'\n" + ToolUsage());
  return kExitUsage;
}

}  // namespace
}  // namespace pictorin::cli

int main(int argc, char** argv) {
  const pictorin::cli::Args args(argv + 1, argv + argc);
  return pictorin::cli::Main(args);
}
