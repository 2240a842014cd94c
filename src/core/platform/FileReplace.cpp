#include "core/platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace quintara {
namespace {

namespace fs = std::filesystem;

std::string Reason(int error) {
  return std::strerror(error);
}

fs::path Folder(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// Where the contents go: the path, or the file a symbolic link there leads to.
std::optional<std::string> ResolveTarget(const fs::path& path, fs::path& target) {
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
    target = path;
    return std::nullopt;
  }
  std::error_code error;
  target = fs::canonical(path, error);
  if (error) {
    return "cannot follow the symbolic link: " + error.message();
  }
  return std::nullopt;
}

// Why no new file can be made beside target, as far as a look at its folder tells.
std::optional<std::string> FolderProblem(const fs::path& target) {
  struct stat folder {};
  if (::stat(Folder(target).c_str(), &folder) != 0) {
    return Reason(errno);
  }
  return S_ISDIR(folder.st_mode) ? std::nullopt : std::optional(Reason(ENOTDIR));
}

// The file the contents replace, and what stands there now (st_nlink 0: nothing yet); why it
// cannot be replaced otherwise.
std::optional<std::string> Inspect(const fs::path& path, fs::path& target, struct stat& existing) {
  if (const auto problem = ResolveTarget(path, target)) {
    return problem;
  }
  if (::stat(target.c_str(), &existing) != 0) {
    existing = {};
    return errno == ENOENT ? FolderProblem(target) : std::optional(Reason(errno));
  }
  if (S_ISDIR(existing.st_mode)) {
    return Reason(EISDIR);
  }
  if (!S_ISREG(existing.st_mode)) {
    return "not a regular file";
  }
  return std::nullopt;
}

// The file descriptor of a new, empty file beside target, and its name.
int CreateBeside(const fs::path& target, fs::path& temporary) {
  static std::atomic<unsigned> serial{0};
  const fs::path folder = Folder(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                          "." + std::to_string(serial++) + ".partial");
    // Mode 0666 lets the umask decide for a new file, as for any file a program creates.
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes, syncs and closes; the errno of the first failure, or 0.
int Fill(int fd, std::string_view contents, const struct stat* existing) {
  int error = 0;
  if (existing != nullptr) {
    if (::fchmod(fd, existing->st_mode & 07777) != 0) {
      error = errno;
    }
    // Only root may give a file away; for anybody else the owner is already right.
    if (::geteuid() == 0 && ::fchown(fd, existing->st_uid, existing->st_gid) != 0 && error == 0) {
      error = errno;
    }
  }
  if (error == 0 && !WriteAll(fd, contents)) {
    error = errno;
  }
  if (error == 0 && ::fsync(fd) != 0) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) {
    error = errno;
  }
  return error;
}

// The rename is durable once the folder itself is synced; a folder that cannot be opened for it
// still holds the new file.
void SyncFolder(const fs::path& target) {
  const int fd = ::open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

std::optional<std::string> CheckReplaceable(const fs::path& path) {
  fs::path target;
  struct stat existing {};
  return Inspect(path, target, existing);
}

std::optional<std::string> ReplaceFile(const fs::path& path, std::string_view contents) {
  fs::path target;
  struct stat existing {};
  if (const auto problem = Inspect(path, target, existing)) {
    return problem;
  }
  const bool exists = existing.st_nlink != 0;
  fs::path temporary;
  const int fd = CreateBeside(target, temporary);
  if (fd < 0) {
    return Reason(errno);
  }
  int error = Fill(fd, contents, exists ? &existing : nullptr);
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Reason(error);
  }
  SyncFolder(target);
  return std::nullopt;
}

}  // namespace quintara
