#pragma once
// A file dialog's settings, and what the system dialog is handed from them:
// its flags and its list of description/pattern pairs.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pictorin {

struct FileDialogSettings {
  enum class Kind { kOpen, kSave };
  Kind kind = Kind::kOpen;
  std::string title;
  std::string file_name;  // pre-filled at Show; after OK the accepted full path
  std::string filter;     // descriptions and patterns alternating, joined by '|'
  std::int32_t filter_index = 0;
  std::string initial_folder;
  std::string default_extension;  // as stored, leading period included
  bool prompt_create = false;
  bool file_must_exist = true;
  bool prompt_overwrite = true;
  bool path_must_exist = true;
  bool no_change_folder = false;
};

// The system dialog's option flags, with their platform values.
namespace dialog_flag {
inline constexpr std::uint32_t kOverwritePrompt = 0x2;
inline constexpr std::uint32_t kHideReadOnly = 0x4;
inline constexpr std::uint32_t kNoChangeDir = 0x8;
inline constexpr std::uint32_t kEnableHook = 0x20;
inline constexpr std::uint32_t kPathMustExist = 0x800;
inline constexpr std::uint32_t kFileMustExist = 0x1000;
inline constexpr std::uint32_t kCreatePrompt = 0x2000;
inline constexpr std::uint32_t kExplorer = 0x80000;
inline constexpr std::uint32_t kEnableSizing = 0x800000;
}  // namespace dialog_flag

std::uint32_t DialogFlags(const FileDialogSettings& settings);

// The filter as the system dialog takes it: trailing white space removed,
// "||" appended unless present, every '|' a zero byte, then one more zero.
// Empty for an empty filter (no list at all). A '|' byte never occurs inside
// a multibyte character of our UTF-8 texts, so a byte scan is a character scan.
std::string FilterList(std::string_view filter);

struct FilterPair {
  std::string description;
  std::string pattern;  // may be empty: the last description of an odd count
  friend bool operator==(const FilterPair&, const FilterPair&) = default;
};

// The pairs a zero-separated list holds, up to its first empty description.
std::vector<FilterPair> SplitFilterList(std::string_view list);

// The pair selected first: FilterIndex + 1 (negative counts as 0), or 0 when
// there is no list.
std::int32_t SelectedFilter(const FileDialogSettings& settings);

}  // namespace pictorin
