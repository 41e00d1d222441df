#pragma once
// The files that remember the sound between runs: the host model's state
// bytes and, beside them, the instrument's bank of all its programs; each
// replaced whole or not at all.

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

  explicit StateStore(std::string path);
  // tessaryn-standalone.state in the instrument's configuration folder.
  static std::string defaultPath();
  const std::string& path() const { return mPath; }
  // The state file's name ending in ".fxb" instead; the instrument itself
  // reads and writes it.
  const std::string& bankPath() const { return mBankPath; }

  Read read(std::vector<uint8_t>& bytes, std::string& error) const;
  // kRead when the bank is there for the instrument to read.
  Read findBank(std::string& error) const;
  // Renames a damaged file to "<path>.damaged", so the next save does not
  // destroy what a user might still rescue; returns the message to show.
  std::string setAside() const;
  std::string setAsideBank() const;
  // Creates the folder when needed; false with `error` telling why.
  bool save(const std::vector<uint8_t>& bytes, std::string& error) const;

private:
  std::string mPath;
  std::string mBankPath;
};
