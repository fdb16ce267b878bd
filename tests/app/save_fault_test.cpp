// The window's two save buttons against real file system faults: a full
// disk, a read-only folder, a folder as the target, a name too long, a
// folder that does not exist. Each save leaves the old file as it was and no
// temporary file behind, and the failure reaches the user as an error
// message naming the file. The window runs on a platform whose dialog
// answers with the path and whose capture returns the controls' own pixels.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/avatar_window.h"
#include "app/platform.h"
#include "tests/controls/test_host.h"

namespace pictorin {
namespace {

namespace fs = std::filesystem;

struct Message {
  std::string caption;
  std::string text;
  MessageKind kind;
};

class FakePlatform : public Platform {
 public:
  explicit FakePlatform(std::string answer) : answer_(std::move(answer)) {}

  void SetWindow(AvatarWindow* window) { window_ = window; }
  const std::vector<Message>& messages() const { return messages_; }

  ControlHost& HostOf(std::string_view control) override { return hosts_[std::string(control)]; }
  void ShowMessage(std::string_view caption, std::string_view text, MessageKind kind) override {
    messages_.push_back({std::string(caption), std::string(text), kind});
  }
  bool RunFileDialog(FileDialogSettings& settings) override {
    settings.file_name = answer_;
    return true;
  }
  std::optional<Raster> CaptureControl(std::string_view control) override {
    if (control == "动画框1") return window_->canvas().Paint({0, 0, 100, 100});
    if (control == "图片框1") {
      auto painted = window_->box().Paint();
      if (painted) return std::move(*painted);
    }
    return std::nullopt;
  }
  int DisplayDepth() const override { return 32; }
  void OpenWebPage(std::string_view) override {}

 private:
  std::string answer_;
  AvatarWindow* window_ = nullptr;
  std::vector<Message> messages_;
  std::map<std::string, test::TestHost> hosts_;
};

Bytes Get(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const fs::path& path, std::size_t size, char fill) {
  std::ofstream(path, std::ios::binary) << std::string(size, fill);
}

// What a folder holds, file by file, to compare before and after a save.
std::map<std::string, Bytes> Contents(const fs::path& folder) {
  std::map<std::string, Bytes> contents;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    contents[fs::relative(entry.path(), folder).string()] = entry.is_regular_file() ? Get(entry.path()) : Bytes{};
  }
  return contents;
}

struct FaultCase {
  const char* name;
  bool small_disk;  // the folder is a 64 KiB tmpfs
  // Prepares the folder (which already holds avatar.jpg) and returns the
  // name the dialog answers with.
  std::function<std::string(const fs::path& folder)> prepare;
  bool saves;  // the one case without a fault
};

const FaultCase kCases[] = {
    {"writable_folder", false, [](const fs::path& folder) { return (folder / "avatar.jpg").string(); }, true},
    {"full_disk", true,
     [](const fs::path& folder) {
       Put(folder / "filler", 40000, 'f');  // leaves less than a 30054-byte picture
       return (folder / "avatar.jpg").string();
     },
     false},
    {"read_only_folder", true,
     [](const fs::path& folder) {
       EXPECT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0) << std::strerror(errno);
       return (folder / "avatar.jpg").string();
     },
     false},
    {"target_is_a_folder", false,
     [](const fs::path& folder) {
       fs::create_directory(folder / "album.jpg");
       Put(folder / "album.jpg" / "inside", 10, 'i');
       return (folder / "album.jpg").string();
     },
     false},
    {"name_too_long", false, [](const fs::path& folder) { return (folder / (std::string(300, 'n') + ".jpg")).string(); },
     false},
    {"missing_folder", false, [](const fs::path& folder) { return (folder / "nowhere" / "avatar.jpg").string(); },
     false},
};

class SaveFaultTest : public testing::TestWithParam<FaultCase> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "save_fault_test.XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    // A tmpfs in a mount namespace of this process's own, so that nothing
    // stays mounted if the test dies; its faults stop root too.
    if (GetParam().small_disk) {
      if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); needs CAP_SYS_ADMIN and mount namespaces";
      }
      mounted_ = true;
    }
    Put(folder_ / "avatar.jpg", 4000, 'o');
  }
  void TearDown() override {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  fs::path folder_;
  bool mounted_ = false;
};

TEST_P(SaveFaultTest, OldFileStaysAndTheUserIsTold) {
  const FaultCase& c = GetParam();
  const std::string name = c.prepare(folder_);
  for (const char* button : {"按钮2", "按钮7"}) {  // the composer's and the resizer's save
    SCOPED_TRACE(button);
    const std::map<std::string, Bytes> before = Contents(folder_);
    FakePlatform platform(name);
    auto window = AvatarWindow::Make(platform);
    ASSERT_NE(window, nullptr);
    platform.SetWindow(window.get());
    window->Raise("窗口", Event::kCreated);
    window->Raise(button, Event::kClicked);
    if (c.saves) {
      EXPECT_TRUE(platform.messages().empty());
      EXPECT_EQ(Get(name).size(), 30054u);
      EXPECT_EQ(Contents(folder_).size(), before.size());
      continue;
    }
    EXPECT_EQ(Contents(folder_), before);  // old file intact, no temporary file
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].kind, MessageKind::kError);
    EXPECT_NE(platform.messages()[0].text.find(name), std::string::npos) << platform.messages()[0].text;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, SaveFaultTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pictorin
