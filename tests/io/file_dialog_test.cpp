#include "io/file_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pictorin {
namespace {

using namespace std::string_literals;

struct FilterCase {
  const char* name;
  std::string filter;
  std::string list;
  std::vector<FilterPair> pairs;
};

class FilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, ConvertsToTheDialogsList) {
  const std::string list = FilterList(GetParam().filter);
  EXPECT_EQ(list, GetParam().list);
  EXPECT_EQ(SplitFilterList(list), GetParam().pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilterTest,
    testing::Values(
        FilterCase{"open_filter_odd_parts", "图片文件(*.jpg)|*.jpg|*.gif", "图片文件(*.jpg)\0*.jpg\0*.gif\0\0\0"s,
                   {{"图片文件(*.jpg)", "*.jpg"}, {"*.gif", ""}}},
        FilterCase{"save_filter", "图片文件(*.jpg)|*.jpg", "图片文件(*.jpg)\0*.jpg\0\0\0"s, {{"图片文件(*.jpg)", "*.jpg"}}},
        FilterCase{"ends_in_double_bar", "A|*.a||", "A\0*.a\0\0\0"s, {{"A", "*.a"}}},
        FilterCase{"ends_in_single_bar", "A|*.a|", "A\0*.a\0\0\0\0"s, {{"A", "*.a"}}},
        FilterCase{"trailing_white_space", "A|*.a \t\r\n", "A\0*.a\0\0\0"s, {{"A", "*.a"}}},
        FilterCase{"empty", "", "", {}},
        FilterCase{"only_white_space", "  \t", "", {}},
        FilterCase{"empty_pattern_inside", "A||B|*.b", "A\0\0B\0*.b\0\0\0"s, {{"A", ""}, {"B", "*.b"}}}),
    [](const testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

TEST(DialogFlags, OpenAndSaveInstances) {
  FileDialogSettings open;
  open.prompt_create = true;
  FileDialogSettings save;
  save.kind = FileDialogSettings::Kind::kSave;
  EXPECT_EQ(DialogFlags(open), 0x883826u);
  EXPECT_EQ(DialogFlags(save), 0x881826u);
  FileDialogSettings bare;
  bare.file_must_exist = bare.prompt_overwrite = bare.path_must_exist = false;
  bare.no_change_folder = true;
  EXPECT_EQ(DialogFlags(bare), 0x88002Cu);
}

TEST(SelectedFilter, FirstPairUnlessNoList) {
  FileDialogSettings settings;
  EXPECT_EQ(SelectedFilter(settings), 0);
  settings.filter = "A|*.a";
  EXPECT_EQ(SelectedFilter(settings), 1);
  settings.filter_index = -4;
  EXPECT_EQ(SelectedFilter(settings), 1);
  settings.filter_index = 2;
  EXPECT_EQ(SelectedFilter(settings), 3);
  settings.filter_index = INT32_MAX;
  EXPECT_EQ(SelectedFilter(settings), INT32_MAX);
}

}  // namespace
}  // namespace pictorin
