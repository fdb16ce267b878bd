// pictorin-cli: the program's picture work without a window.

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/offline.h"
#include "app/panels.h"
#include "assets/builtin.h"
#include "cli/png_output.h"
#include "imaging/picture.h"
#include "io/whole_file.h"

namespace pictorin::cli {
namespace {

using Args = std::vector<std::string_view>;

struct Command {
  std::string_view name;
  std::string_view usage;  // the lines after "usage: "
  int (*run)(const Command& self, const Args& args);
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

int RunInfo(const Command& self, const Args& args) {
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

int RunDecode(const Command& self, const Args& args) {
  auto parsed = ParseDecodeArgs(args);
  if (!parsed) return UsageError(self, "decode needs FILE and -o OUT.png");
  Bytes bytes;
  if (!ReadInput(parsed->input, bytes)) return FileError(parsed->input, kUnreadable);
  const DecodedPng decoded = EncodeChosenPicture(bytes, *parsed);
  if (decoded.png.empty()) return FileError(parsed->input, decoded.reason);
  if (!WriteWholeFile(std::string(parsed->output), {decoded.png})) return FileError(parsed->output, "cannot be written");
  return 0;
}

struct ComposeArgs {
  std::string_view photo;
  std::string_view output;
  std::vector<Badge> badges;
};

std::optional<Badge> BadgeNamed(std::string_view name) {
  for (const BadgeInfo& info : Badges()) {
    if (info.cli_name == name) return info.badge;
  }
  return std::nullopt;
}

// Parses "PHOTO --badge NAME [--badge NAME]... -o OUT"; empty on a bad argument.
std::optional<ComposeArgs> ParseComposeArgs(const Args& args) {
  ComposeArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool has_value = i + 1 < args.size();
    if ((arg == "-o" || arg == "--output") && has_value) {
      parsed.output = args[++i];
    } else if (arg == "--badge" && has_value) {
      auto badge = BadgeNamed(args[++i]);
      if (!badge) return std::nullopt;
      parsed.badges.push_back(*badge);
    } else if (!arg.starts_with('-') && parsed.photo.empty()) {
      parsed.photo = arg;
    } else {
      return std::nullopt;
    }
  }
  if (parsed.photo.empty() || parsed.output.empty() || parsed.badges.empty()) return std::nullopt;
  return parsed;
}

// Writes the saved picture, or reports why there is none; OUT is touched
// only when there is a picture to write.
int WriteSaved(std::string_view input, const Result<Bytes>& saved, std::string_view output) {
  if (!saved) return FileError(input, "no picture: " + std::string(FailureText(saved.failure())));
  if (saved->empty()) return FileError(input, "the picture could not be rendered");
  if (!WriteWholeFile(std::string(output), {*saved})) return FileError(output, "cannot be written");
  return 0;
}

int RunCompose(const Command& self, const Args& args) {
  auto parsed = ParseComposeArgs(args);
  if (!parsed) return UsageError(self, "compose needs PHOTO, at least one known --badge and -o OUT");
  Bytes photo;
  if (!ReadInput(parsed->photo, photo)) return FileError(parsed->photo, kUnreadable);
  return WriteSaved(parsed->photo, ComposeOffline(photo, parsed->badges), parsed->output);
}

int RunResize(const Command& self, const Args& args) {
  if (args.size() != 3 || args[0].starts_with('-') || (args[1] != "-o" && args[1] != "--output")) {
    return UsageError(self, "resize needs PICTURE and -o OUT");
  }
  Bytes picture;
  if (!ReadInput(args[0], picture)) return FileError(args[0], kUnreadable);
  return WriteSaved(args[0], ResizeOffline(picture), args[2]);
}

int RunExportAssets(const Command& self, const Args& args) {
  if (args.size() != 1 || args[0].starts_with('-')) return UsageError(self, "export-assets takes one DIR");
  for (const BuiltinPicture& picture : BuiltinPictures()) {
    const std::string path = std::string(args[0]) + "/" + std::string(picture.file_name);
    if (!WriteWholeFile(path, {picture.bytes})) return FileError(path, "cannot be written (does the folder exist?)");
    PrintTo(stdout, path + "\n");
  }
  return 0;
}

const std::vector<Command> kCommands = {
    {"info", "info FILE\n    print the format, size, frame count and each frame's delay and transparent colour",
     RunInfo},
    {"decode",
     "decode FILE -o OUT.png [--frame N] [--still]\n"
     "    write frame N (default 0) as an RGBA PNG, or with --still the still picture as an RGB PNG",
     RunDecode},
    {"compose",
     "compose PHOTO --badge NAME [--badge NAME]... -o OUT\n"
     "    save what the composer saves after loading PHOTO and pressing the badges in order;\n"
     "    NAME is red-diamond, iphone, member or svip; OUT is always a BMP file",
     RunCompose},
    {"resize",
     "resize PICTURE -o OUT\n"
     "    save what the resizer saves after loading PICTURE: a 100x100 BMP file",
     RunResize},
    {"export-assets",
     "export-assets DIR\n"
     "    write the built-in pictures into the existing folder DIR, byte for byte",
     RunExportAssets},
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
    return command.run(command, rest);
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
