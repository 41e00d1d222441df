#pragma once
// A file replaced whole or not at all: written to a temporary file in the
// target's folder, synced, renamed over the target and the folder synced, so
// a crash or a failed write never leaves a half file nor loses the old one,
// and a reader never sees one. Programs, banks, rendered audio and the
// configuration are all written this way.

#include <cstddef>
#include <string>

class AtomicFile
{
public:
  AtomicFile() = default;
  ~AtomicFile(); // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file for `path`; a link is followed to the file it
  // names. False, with error() telling why, when the folder takes no new
  // file or the target is read-only.
  bool open(const std::string& path);
  int descriptor() const { return mFd; }
  const std::string& temporaryPath() const { return mTemporaryPath; }
  bool write(const void* data, size_t size);
  // Syncs and puts the file in place; false with error() set, the target untouched.
  bool commit();
  void abandon();
  // "cannot create a file in '/folder' (Permission denied)" and the like.
  const std::string& error() const { return mError; }

private:
  bool fail(const std::string& what);

  int mFd = -1;
  std::string mTarget;
  std::string mTemporaryPath;
  std::string mError;
};

// The whole of a file in one call; pError (optional) receives the reason of a failure.
bool writeFileAtomically(const std::string& path, const void* data, size_t size, std::string* pError = nullptr);
