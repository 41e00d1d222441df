#pragma once
// The file that remembers the sound between runs: the host model's state
// bytes, replaced whole or not at all.

#include <cstdint>
#include <string>
#include <vector>

class StateStore
{
public:
  enum class Read
  {
    kMissing, // the first run
    kRead,
    kUnreadable, // exists but cannot be read (permissions, a folder)
  };

  explicit StateStore(std::string path) : mPath(std::move(path)) {}
  // tessaryn-standalone.state in the instrument's configuration folder.
  static std::string defaultPath();
  const std::string& path() const { return mPath; }

  Read read(std::vector<uint8_t>& bytes, std::string& error) const;
  // Renames a damaged file to "<path>.damaged", so the next save does not
  // destroy what a user might still rescue; returns the message to show.
  std::string setAside() const;
  // Creates the folder when needed; false with `error` telling why.
  bool save(const std::vector<uint8_t>& bytes, std::string& error) const;

private:
  std::string mPath;
};
