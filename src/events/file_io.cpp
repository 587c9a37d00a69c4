#include "events/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>

namespace qev {
namespace {

std::string Reason(int err) {
  return std::strerror(err);
}

const char* const kNotRegular = "not a regular file";

bool HasNul(const std::filesystem::path& path) {
  return path.native().find('\0') != std::string::npos;
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now, reporting the error a deferred write may only show here.
  int Close() {
    int r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

// Writes everything from `offset` on, going on after short writes and
// interruptions.
bool WriteAll(int fd, std::string_view bytes, off_t offset = 0) {
  while (!bytes.empty()) {
    ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    offset += n;
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be synced is no
// reason to report the save as failed.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A short name no other writer uses, whatever the length of the target's
// name: this process and a counter.
std::filesystem::path TempName(const std::filesystem::path& folder) {
  static std::atomic<unsigned> counter{0};
  return folder / (".qev" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp");
}

// The temporary file the text is written to before it replaces the target.
// Where the file system allows it the file has no name until it is
// complete, so a save that is killed leaves nothing behind.
class TempFile {
 public:
  explicit TempFile(std::filesystem::path folder) : folder_(std::move(folder)) {}
  ~TempFile() {
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // 0, or the error that kept the file from being created.
  int Create() {
    // The unnamed file is given its name through /proc, so without /proc
    // a named one is used from the start.
    if (::access("/proc/self/fd", X_OK) == 0) {
      fd_.Reset(::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
      if (fd_.get() >= 0) return 0;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::filesystem::path name = TempName(folder_);
      fd_.Reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (fd_.get() >= 0) {
        name_ = std::move(name);
        return 0;
      }
      if (errno != EEXIST) break;
    }
    return errno;
  }

  int fd() const { return fd_.get(); }

  // Puts the complete file in place of `target`; 0 or the error.
  int ReplaceTarget(const std::filesystem::path& target) {
    if (name_.empty()) {
      // An unnamed file gets a name only now, for the rename.
      std::filesystem::path name = TempName(folder_);
      std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        return errno;
      }
      name_ = std::move(name);
    }
    if (::rename(name_.c_str(), target.c_str()) != 0) return errno;
    name_.clear();
    return 0;
  }

 private:
  std::filesystem::path folder_;
  std::filesystem::path name_;  // empty while the file has no name
  Fd fd_;
};

// Overwrites the existing file `target` with `bytes`; its space is
// reserved first, so a full disk is found before the old text is touched.
int OverwriteInPlace(const std::filesystem::path& target, std::string_view bytes) {
  Fd fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return errno;
  off_t size = static_cast<off_t>(bytes.size());
  if (size > 0 && ::posix_fallocate(fd.get(), 0, size) == ENOSPC) return ENOSPC;
  if (!WriteAll(fd.get(), bytes) || ::ftruncate(fd.get(), size) != 0 || ::fsync(fd.get()) != 0) {
    return errno;
  }
  return fd.Close() == 0 ? 0 : errno;
}

// Why `target` must not be replaced, or nothing. `existing` receives the
// status of the file a save would replace.
std::optional<std::string> RefusedTarget(const std::filesystem::path& target,
                                         std::optional<struct stat>& existing) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) {
    int err = errno;
    struct stat link {};
    if (err == ENOENT && ::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      return "a symbolic link to a file that does not exist";
    }
    // A new file, or a folder that is not there, which creating will tell.
    if (err == ENOENT) return std::nullopt;
    return Reason(err);
  }
  if (S_ISDIR(st.st_mode)) return Reason(EISDIR);
  if (!S_ISREG(st.st_mode)) return kNotRegular;
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return errno == EACCES ? "the file is write-protected" : Reason(errno);
  }
  existing = st;
  return std::nullopt;
}

}  // namespace

FileBytes ReadWholeFile(const std::filesystem::path& path) {
  FileBytes result;
  if (HasNul(path)) {
    result.reason = Reason(ENOENT);
    return result;
  }
  // Without O_NONBLOCK opening a FIFO would wait for a writer forever.
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    int err = errno;
    result.status =
        err == ENOENT || err == ENOTDIR ? ReadStatus::kMissing : ReadStatus::kUnreadable;
    result.reason = Reason(err);
    return result;
  }
  result.status = ReadStatus::kUnreadable;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    result.reason = Reason(errno);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.reason = S_ISDIR(st.st_mode) ? Reason(EISDIR) : kNotRegular;
    return result;
  }
  const std::string tooLarge = "larger than " + std::to_string(kFileSizeLimit >> 20) + " MB";
  if (static_cast<std::size_t>(st.st_size) > kFileSizeLimit) {
    result.reason = tooLarge;
    return result;
  }
  if (st.st_size > 0) result.bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileBytes{ReadStatus::kUnreadable, {}, Reason(errno)};
    }
    // A file that grows while it is read is held to the same limit.
    if (result.bytes.size() + static_cast<std::size_t>(n) > kFileSizeLimit) {
      return FileBytes{ReadStatus::kUnreadable, {}, tooLarge};
    }
    result.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  result.status = ReadStatus::kRead;
  return result;
}

WriteOutcome WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  if (HasNul(target) || !target.has_filename()) return {false, Reason(EINVAL)};

  std::optional<struct stat> existing;
  if (std::optional<std::string> refused = RefusedTarget(target, existing)) {
    return {false, std::move(*refused)};
  }

  // Write through a symbolic link to the file it names, keeping the link.
  std::filesystem::path real = target;
  std::error_code ec;
  if (existing && std::filesystem::is_symlink(target, ec)) {
    std::filesystem::path resolved = std::filesystem::canonical(target, ec);
    if (!ec) real = resolved;
  }
  std::filesystem::path folder = real.parent_path();
  if (folder.empty()) folder = ".";

  TempFile temp(folder);
  if (int err = temp.Create(); err != 0) return {false, Reason(err)};

  // A renamed file would split hard links and take this user as its owner;
  // where the old owner, group and links cannot be kept that way the old
  // file is overwritten instead.
  bool inPlace = false;
  if (existing) {
    inPlace = existing->st_nlink > 1 || existing->st_uid != ::geteuid() ||
              ::fchown(temp.fd(), static_cast<uid_t>(-1), existing->st_gid) != 0;
    ::fchmod(temp.fd(), existing->st_mode & 07777);
  }

  if (!WriteAll(temp.fd(), bytes) || ::fsync(temp.fd()) != 0) return {false, Reason(errno)};
  int err = inPlace ? OverwriteInPlace(real, bytes) : temp.ReplaceTarget(real);
  if (err != 0) return {false, Reason(err)};
  SyncFolder(folder);
  return {true, {}};
}

WriteOutcome WriteNewFile(const std::filesystem::path& path, std::string_view bytes) {
  if (HasNul(path) || !path.has_filename()) return {false, Reason(EINVAL)};
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (fd.get() < 0) return {false, Reason(errno)};
  if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || fd.Close() != 0) {
    const int err = errno;
    ::unlink(path.c_str());
    return {false, Reason(err)};
  }
  std::filesystem::path folder = path.parent_path();
  SyncFolder(folder.empty() ? std::filesystem::path(".") : folder);
  return {true, {}};
}

}  // namespace qev
