#include "events/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace qev {
namespace {

std::string Reason(int err) {
  return std::strerror(err);
}

bool HasNul(const std::filesystem::path& path) {
  return path.native().find('\0') != std::string::npos;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting the error a deferred write may only show here.
  int Close() {
    int r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

// Writes everything, going on after short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
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

}  // namespace

FileBytes ReadWholeFile(const std::filesystem::path& path) {
  FileBytes result;
  if (HasNul(path)) {
    result.reason = Reason(ENOENT);
    return result;
  }
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    int err = errno;
    result.status =
        err == ENOENT || err == ENOTDIR ? ReadStatus::kMissing : ReadStatus::kUnreadable;
    result.reason = Reason(err);
    return result;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode)) {
    result.status = ReadStatus::kUnreadable;
    result.reason = Reason(EISDIR);
    return result;
  }
  if (st.st_size > 0) result.bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      result = FileBytes{ReadStatus::kUnreadable, {}, Reason(err)};
      return result;
    }
    result.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  result.status = ReadStatus::kRead;
  return result;
}

WriteOutcome WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  if (HasNul(target) || !target.has_filename()) return {false, Reason(EINVAL)};

  // Write through a symbolic link to the file it names, keeping the link.
  std::filesystem::path real = target;
  std::error_code ec;
  if (std::filesystem::is_symlink(target, ec)) {
    std::filesystem::path resolved = std::filesystem::canonical(target, ec);
    if (!ec) real = resolved;
  }
  std::filesystem::path folder = real.parent_path();
  if (folder.empty()) folder = ".";

  // A name no other writer uses: this process, a counter, and retries in
  // case a stale file of an earlier run is in the way.
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temp;
  int raw = -1;
  int err = 0;
  for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
    temp = folder / ("." + real.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                     std::to_string(counter++));
    raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    err = errno;
    if (raw < 0 && err != EEXIST) break;
  }
  if (raw < 0) return {false, Reason(err)};
  Fd fd(raw);

  // Keep the permissions of the file being replaced.
  struct stat old {};
  if (::stat(real.c_str(), &old) == 0) ::fchmod(fd.get(), old.st_mode & 07777);

  bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  if (!written) err = errno;
  if (fd.Close() != 0 && written) {
    written = false;
    err = errno;
  }
  if (written && ::rename(temp.c_str(), real.c_str()) != 0) {
    written = false;
    err = errno;
  }
  if (!written) {
    ::unlink(temp.c_str());
    return {false, Reason(err)};
  }
  SyncFolder(folder);
  return {true, {}};
}

}  // namespace qev
