// Whole-file read and write on POSIX calls. The Windows build replaces this
// file with a twin on the Win32 file calls.
#include "io/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <new>
#include <optional>

namespace pictorin {
namespace {

// How many symbolic links a name may lead through, as in the kernel's own lookup.
constexpr int kMaxLinkHops = 40;
// How many unique names a temporary file may try before the write gives up.
constexpr int kMaxTemporaryNames = 100;

// A name the file calls can take: not empty, and with no zero byte inside,
// which would cut it short and lead to another file.
bool IsUsableName(const std::string& name) {
  return !name.empty() && name.find('\0') == std::string::npos;
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Reads until size bytes have arrived or the file ends, whichever comes first.
Bytes ReadUpTo(int fd, std::size_t size) {
  Bytes bytes;
  try {
    bytes.resize(size);
  } catch (const std::bad_alloc&) {
    return {};
  }
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, bytes.data() + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {};
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

// The folder part of a path with its closing slash, empty for a bare name.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// What a symbolic link holds, or nothing when it cannot be read whole.
std::optional<std::string> LinkContent(const std::string& path) {
  std::string content(PATH_MAX, '\0');
  const ssize_t n = ::readlink(path.c_str(), content.data(), content.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= content.size()) return std::nullopt;
  content.resize(static_cast<std::size_t>(n));
  return content;
}

// Where a write goes: the path a name leads to once its symbolic links are
// followed, and the permission bits of the plain file there, if there is one.
struct Target {
  std::string path;
  std::optional<mode_t> permissions;
};

// Follows the name's links one by one, so that a dangling link leads to the
// missing file it names. Nothing for folders, devices, pipes and link loops.
std::optional<Target> FindTarget(std::string path) {
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
      if (errno == ENOENT) return Target{path, std::nullopt};
      return std::nullopt;
    }
    if (S_ISREG(info.st_mode)) return Target{path, info.st_mode & 0777};
    if (!S_ISLNK(info.st_mode)) return std::nullopt;
    const std::optional<std::string> content = LinkContent(path);
    if (!content) return std::nullopt;
    path = content->front() == '/' ? *content : FolderOf(path) + *content;
  }
  return std::nullopt;
}

bool WriteAll(int fd, ByteView data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data = data.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

// A new file beside the target that takes the whole content before it is
// renamed over the target; removed again unless that rename happened.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& folder);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool ok() const { return created_; }
  bool Write(ByteView data) { return WriteAll(fd_, data); }
  // Gives the file the permission bits of the file it replaces, if any, and
  // closes it once its content is on disk.
  bool Finish(std::optional<mode_t> permissions);
  bool RenameTo(const std::string& path);

 private:
  std::string path_;
  int fd_ = -1;
  bool created_ = false;
  bool renamed_ = false;
};

// Mode 0666 through open itself, so the umask and the folder's default
// permissions apply exactly as for a plain create, without reading the umask.
// O_EXCL makes the name ours alone and refuses a link planted under it. POSIX
// has no sharing modes: other processes are not kept from opening the file,
// but its hidden, unique name keeps it out of their way until the rename.
TemporaryFile::TemporaryFile(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < kMaxTemporaryNames && fd_ < 0; ++attempt) {
    path_ = folder + ".pictorin-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) return;
  }
  created_ = fd_ >= 0;
}

TemporaryFile::~TemporaryFile() {
  if (fd_ >= 0) ::close(fd_);
  if (created_ && !renamed_) ::unlink(path_.c_str());
}

bool TemporaryFile::Finish(std::optional<mode_t> permissions) {
  if (permissions && ::fchmod(fd_, *permissions) != 0) return false;
  if (::fsync(fd_) != 0) return false;
  // The descriptor is gone after close whatever it reports.
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0;
}

bool TemporaryFile::RenameTo(const std::string& path) {
  renamed_ = ::rename(path_.c_str(), path.c_str()) == 0;
  return renamed_;
}

}  // namespace

Bytes ReadWholeFile(const std::string& name) {
  if (!IsUsableName(name)) return {};
  // O_NONBLOCK so that a pipe without a writer cannot hang the open; it does
  // nothing to the read of a plain file. POSIX has no sharing modes: other
  // processes may go on writing to the file while it is read.
  const Descriptor file(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.get() < 0) return {};
  struct stat info;
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  if (info.st_size <= 0 || static_cast<std::uint64_t>(info.st_size) > kMaxBytesLength) return {};
  return ReadUpTo(file.get(), static_cast<std::size_t>(info.st_size));
}

bool WriteWholeFile(const std::string& name, std::initializer_list<ByteView> data) {
  if (!IsUsableName(name)) return false;
  const std::optional<Target> target = FindTarget(name);
  if (!target) return false;
  TemporaryFile file(FolderOf(target->path));
  if (!file.ok()) return false;
  for (ByteView part : data) {
    if (!file.Write(part)) return false;
  }
  return file.Finish(target->permissions) && file.RenameTo(target->path);
}

}  // namespace pictorin
