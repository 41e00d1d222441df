#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int kNameAttempts = 100;

std::string folderOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string resolved(const std::string& path)
{
  std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
  return real ? std::string(real.get()) : path;
}

std::string reason()
{
  return std::string(" (") + std::strerror(errno) + ")";
}

// Created as the target itself would be: with the permissions the umask
// allows, or those of the file it replaces.
int createBeside(const std::string& target, std::string* pTemporary)
{
  static std::atomic<unsigned> sCounter{0};
  const size_t nameStart = target.rfind('/') + 1;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt)
  {
    *pTemporary = target.substr(0, nameStart) + "." + target.substr(nameStart) + "." + std::to_string(getpid()) + "-" +
                  std::to_string(sCounter++) + ".tmp";
    const int fd = open(pTemporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool syncFolder(const std::string& folder)
{
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}
} // namespace

AtomicFile::~AtomicFile()
{
  abandon();
}

bool AtomicFile::open(const std::string& path)
{
  abandon();
  mError.clear();
  mTarget = resolved(path);
  struct stat existing;
  const bool replaces = stat(mTarget.c_str(), &existing) == 0;
  if (replaces && access(mTarget.c_str(), W_OK) != 0) return fail("the file is read-only" + reason());
  mFd = createBeside(mTarget, &mTemporaryPath);
  if (mFd < 0)
  {
    const std::string why = reason();
    mTemporaryPath.clear();
    return fail("cannot create a file in '" + folderOf(mTarget) + "'" + why);
  }
  if (replaces) fchmod(mFd, existing.st_mode & 07777);
  return true;
}

bool AtomicFile::write(const void* data, size_t size)
{
  const char* bytes = static_cast<const char*>(data);
  while (size > 0)
  {
    const ssize_t count = ::write(mFd, bytes, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return fail("writing failed" + reason());
    bytes += count;
    size -= static_cast<size_t>(count);
  }
  return true;
}

bool AtomicFile::commit()
{
  if (mFd < 0) return fail("no file is open");
  const bool synced = fsync(mFd) == 0;
  const bool closed = close(mFd) == 0 && synced;
  mFd = -1;
  if (!closed) return fail("writing failed" + reason());
  if (rename(mTemporaryPath.c_str(), mTarget.c_str()) != 0) return fail("it cannot be put in place" + reason());
  mTemporaryPath.clear();
  // The rename itself lasts only once the folder is synced.
  return syncFolder(folderOf(mTarget)) || fail("syncing its folder failed" + reason());
}

void AtomicFile::abandon()
{
  if (mFd >= 0) close(mFd);
  mFd = -1;
  if (!mTemporaryPath.empty()) unlink(mTemporaryPath.c_str());
  mTemporaryPath.clear();
}

bool AtomicFile::fail(const std::string& what)
{
  mError = what;
  abandon();
  return false;
}

bool writeFileAtomically(const std::string& path, const void* data, size_t size, std::string* pError)
{
  AtomicFile file;
  const bool written = file.open(path) && file.write(data, size) && file.commit();
  if (!written && pError) *pError = file.error();
  return written;
}
