#include "io/file_dialog.h"

#include <algorithm>
#include <cstdint>

namespace pictorin {

std::uint32_t DialogFlags(const FileDialogSettings& s) {
  using namespace dialog_flag;
  std::uint32_t flags = kHideReadOnly | kExplorer | kEnableSizing | kEnableHook;
  if (s.prompt_create) flags |= kCreatePrompt;
  if (s.file_must_exist) flags |= kFileMustExist;
  if (s.prompt_overwrite) flags |= kOverwritePrompt;
  if (s.path_must_exist) flags |= kPathMustExist;
  if (s.no_change_folder) flags |= kNoChangeDir;
  return flags;
}

std::string FilterList(std::string_view filter) {
  const auto last = filter.find_last_not_of(" \t\r\n\v\f");
  std::string list(filter.substr(0, last == std::string_view::npos ? 0 : last + 1));
  if (list.empty()) return list;
  if (!list.ends_with("||")) list += "||";
  std::replace(list.begin(), list.end(), '|', '\0');
  list.push_back('\0');
  return list;
}

std::vector<FilterPair> SplitFilterList(std::string_view list) {
  std::vector<FilterPair> pairs;
  std::size_t at = 0;
  auto next = [&]() {
    const std::size_t end = std::min(list.find('\0', at), list.size());
    std::string part(list.substr(at, end - at));
    at = std::min(end + 1, list.size());
    return part;
  };
  while (at < list.size()) {
    std::string description = next();
    if (description.empty()) break;
    pairs.push_back({std::move(description), next()});
  }
  return pairs;
}

std::int32_t SelectedFilter(const FileDialogSettings& settings) {
  if (FilterList(settings.filter).empty()) return 0;
  const std::int64_t index = std::max(settings.filter_index, 0);
  return static_cast<std::int32_t>(std::min<std::int64_t>(index + 1, INT32_MAX));
}

}  // namespace pictorin
