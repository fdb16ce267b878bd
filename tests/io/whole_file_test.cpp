#include "io/whole_file.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "imaging/picture.h"
#include "io/snapshot.h"

namespace pictorin {
namespace {

namespace fs = std::filesystem;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + seed);
  return bytes;
}

// Written and read with the standard streams, so that the checks do not
// depend on the code under test.
void Put(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

Bytes Get(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

mode_t Permissions(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 0777;
}

// A fresh folder for each test, removed afterwards.
class WholeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "whole_file_test.XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // The names in the folder, to see that no temporary file was left behind.
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename().string());
    return names;
  }

  std::string In(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

TEST_F(WholeFileTest, ReadGivesTheWholeContent) {
  const Bytes content = Pattern(300000, 5);
  Put(In("photo.jpg"), content);
  EXPECT_EQ(ReadWholeFile(In("photo.jpg")), content);
}

TEST_F(WholeFileTest, ReadTakesARelativeNameFromTheCurrentFolder) {
  Put(In("here.bmp"), Pattern(10, 1));
  const fs::path before = fs::current_path();
  fs::current_path(folder_);
  const Bytes bytes = ReadWholeFile("here.bmp");
  fs::current_path(before);
  EXPECT_EQ(bytes, Pattern(10, 1));
}

TEST_F(WholeFileTest, ReadOfWhatIsNoReadablePlainFileGivesEmptyBytes) {
  Put(In("empty"), {});
  Put(In("real"), Pattern(10, 0));
  ASSERT_EQ(::mkfifo(In("pipe").c_str(), 0600), 0);  // no writer: an open must not wait for one
  ASSERT_EQ(::mkdir(In("folder").c_str(), 0700), 0);
  const struct {
    const char* what;
    std::string name;
  } cases[] = {
      {"empty name", ""},
      {"missing file", In("missing")},
      {"missing folder", In("nowhere/file")},
      {"folder", In("folder")},
      {"0-byte file", In("empty")},
      {"pipe", In("pipe")},
      {"zero byte inside the name", In("real") + std::string(1, '\0') + "tail"},
  };
  for (const auto& c : cases) EXPECT_TRUE(ReadWholeFile(c.name).empty()) << c.what;
}

TEST_F(WholeFileTest, ReadOfAFileOf2GiBOrMoreGivesEmptyBytes) {
  {
    std::ofstream(In("huge")).put('x');
  }
  fs::resize_file(In("huge"), std::uintmax_t{1} << 31);  // sparse: takes no disk space
  EXPECT_TRUE(ReadWholeFile(In("huge")).empty());
}

TEST_F(WholeFileTest, WriteStoresTheValuesInOrder) {
  const Bytes first = Pattern(7, 1), second = Pattern(9, 2);
  const Bytes nothing;
  ASSERT_TRUE(WriteWholeFile(In("out.bmp"), {first, nothing, second}));
  Bytes expected = first;
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(Get(In("out.bmp")), expected);
  EXPECT_EQ(Listing(), std::set<std::string>{"out.bmp"});
}

TEST_F(WholeFileTest, WriteReplacesTheWholeOldContent) {
  const struct {
    const char* what;
    Bytes content;
  } cases[] = {
      {"shorter content", Pattern(5, 9)},
      {"empty Bytes", {}},
  };
  for (const auto& c : cases) {
    Put(In("old.jpg"), Pattern(5000, 3));
    ASSERT_TRUE(WriteWholeFile(In("old.jpg"), {c.content})) << c.what;
    EXPECT_EQ(Get(In("old.jpg")), c.content) << c.what;
    EXPECT_EQ(Listing(), std::set<std::string>{"old.jpg"}) << c.what;
  }
  ASSERT_TRUE(WriteWholeFile(In("old.jpg"), {}));
  EXPECT_EQ(fs::file_size(In("old.jpg")), 0u);
}

TEST_F(WholeFileTest, WriteOfEmptyBytesUnderANewNameMakesA0ByteFile) {
  ASSERT_TRUE(WriteWholeFile(In("new.jpg"), {Bytes()}));
  ASSERT_TRUE(fs::is_regular_file(In("new.jpg")));
  EXPECT_EQ(fs::file_size(In("new.jpg")), 0u);
}

TEST_F(WholeFileTest, WriteRefusesNamesThatLeadToNoPlainFile) {
  ASSERT_EQ(::mkdir(In("folder").c_str(), 0700), 0);
  ASSERT_EQ(::mkfifo(In("pipe").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("loop", In("loop").c_str()), 0);
  const struct {
    const char* what;
    std::string name;
  } cases[] = {
      {"empty name", ""},
      {"folder", In("folder")},
      {"folder with slash", In("folder") + "/"},
      {"pipe", In("pipe")},
      {"link loop", In("loop")},
      {"missing folder", In("nowhere/file")},
      {"zero byte inside the name", In("cut") + std::string(1, '\0') + "tail"},
  };
  const std::set<std::string> before = Listing();
  for (const auto& c : cases) EXPECT_FALSE(WriteWholeFile(c.name, {Pattern(10, 0)})) << c.what;
  EXPECT_EQ(Listing(), before);
  EXPECT_TRUE(fs::is_directory(In("folder")));
  EXPECT_TRUE(fs::is_empty(In("folder")));
  EXPECT_TRUE(fs::is_fifo(In("pipe")));
}

TEST_F(WholeFileTest, ReplacedFileKeepsItsPermissionBits) {
  Put(In("kept"), Pattern(10, 0));
  ASSERT_EQ(::chmod(In("kept").c_str(), 0640), 0);
  ASSERT_TRUE(WriteWholeFile(In("kept"), {Pattern(20, 1)}));
  EXPECT_EQ(Permissions(In("kept")), 0640u);
}

TEST_F(WholeFileTest, NewFileGetsThePermissionsOfAPlainCreateUnderTheUmask) {
  const mode_t old_mask = ::umask(027);
  const bool written = WriteWholeFile(In("fresh"), {Pattern(10, 0)});
  ::umask(old_mask);
  ASSERT_TRUE(written);
  EXPECT_EQ(Permissions(In("fresh")), 0640u);
}

TEST_F(WholeFileTest, WriteThroughASymbolicLinkReplacesTheFileItPointsTo) {
  ASSERT_EQ(::mkdir(In("pictures").c_str(), 0700), 0);
  const struct {
    const char* what;
    std::string link;    // created in the folder
    std::string points;  // what the link holds
    std::string file;    // the file that must receive the bytes
  } cases[] = {
      {"absolute", "absolute", In("pictures/a.bmp"), "pictures/a.bmp"},
      {"relative", "relative", "pictures/b.bmp", "pictures/b.bmp"},
      {"chain", "chain", "relative", "pictures/b.bmp"},
      {"dangling", "dangling", "pictures/new.bmp", "pictures/new.bmp"},
  };
  Put(In("pictures/a.bmp"), Pattern(50, 0));
  Put(In("pictures/b.bmp"), Pattern(50, 0));
  for (const auto& c : cases) {
    ASSERT_EQ(::symlink(c.points.c_str(), In(c.link).c_str()), 0) << c.what;
    const Bytes content = Pattern(20, static_cast<std::uint8_t>(c.link.size()));
    ASSERT_TRUE(WriteWholeFile(In(c.link), {content})) << c.what;
    EXPECT_TRUE(fs::is_symlink(In(c.link))) << c.what;
    EXPECT_EQ(fs::read_symlink(In(c.link)), c.points) << c.what;
    EXPECT_EQ(Get(In(c.file)), content) << c.what;
  }
  EXPECT_EQ(Listing(), (std::set<std::string>{"absolute", "chain", "dangling", "pictures", "relative"}));
}

TEST_F(WholeFileTest, SnapshotUnderAJpgNameIsStoredAndReadBackUnchanged) {
  Raster raster{100, 100, Pattern(100 * 100 * 4, 7)};
  const Bytes snapshot = EncodeSnapshot(raster, 100, 100, 32);
  ASSERT_EQ(snapshot.size(), 30054u);
  ASSERT_TRUE(WriteWholeFile(In("avatar.jpg"), {snapshot}));
  EXPECT_EQ(Get(In("avatar.jpg")), snapshot);
  EXPECT_EQ(ReadWholeFile(In("avatar.jpg")), snapshot);
}

// A small tmpfs mounted over a folder in a mount namespace of this process's
// own, so that nothing is left mounted if the test dies. The failures it
// gives (read-only, full) stop root too, unlike file permissions.
class SmallDiskTest : public WholeFileTest {
 protected:
  void SetUp() override {
    WholeFileTest::SetUp();
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") != 0) {
      GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                   << "); needs CAP_SYS_ADMIN and mount namespaces";
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    WholeFileTest::TearDown();
  }
  bool mounted_ = false;
};

TEST_F(SmallDiskTest, FullDiskLeavesTheOldFileIntact) {
  const Bytes old = Pattern(4000, 1);
  Put(In("avatar.jpg"), old);
  EXPECT_FALSE(WriteWholeFile(In("avatar.jpg"), {Pattern(40000, 2), Pattern(40000, 3)}));
  EXPECT_EQ(Get(In("avatar.jpg")), old);
  EXPECT_EQ(Listing(), std::set<std::string>{"avatar.jpg"});
}

TEST_F(SmallDiskTest, ReadOnlyFolderLeavesTheOldFileIntact) {
  const Bytes old = Pattern(4000, 1);
  Put(In("avatar.jpg"), old);
  ASSERT_EQ(::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0) << std::strerror(errno);
  EXPECT_FALSE(WriteWholeFile(In("avatar.jpg"), {Pattern(10, 2)}));
  EXPECT_FALSE(WriteWholeFile(In("new.jpg"), {Pattern(10, 2)}));
  EXPECT_EQ(Get(In("avatar.jpg")), old);
  EXPECT_EQ(Listing(), std::set<std::string>{"avatar.jpg"});
}

}  // namespace
}  // namespace pictorin
