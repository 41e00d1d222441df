#include "StateStore.h"

#include "AtomicFile.h"
#include "DesktopServices.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{
constexpr const char* kMakerFolder = "/Pellworth";
constexpr const char* kFileName = "/tessaryn-standalone.state";
constexpr const char* kDamagedSuffix = ".damaged";
} // namespace

std::string StateStore::defaultPath()
{
  return ConfigFolder() + kMakerFolder + kFileName;
}

StateStore::Read StateStore::read(std::vector<uint8_t>& bytes, std::string& error) const
{
  std::error_code ignored;
  if (!std::filesystem::exists(mPath, ignored)) return Read::kMissing;
  std::ifstream file(mPath, std::ios::binary);
  const bool folder = std::filesystem::is_directory(mPath, ignored);
  if (file && !folder)
  {
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return Read::kRead;
  }
  error = "cannot read the saved sound '" + mPath + "' (" + std::strerror(folder ? EISDIR : errno) +
          "); check its permissions.";
  return Read::kUnreadable;
}

std::string StateStore::setAside() const
{
  const std::string aside = mPath + kDamagedSuffix;
  if (std::rename(mPath.c_str(), aside.c_str()) != 0)
    return "the saved sound '" + mPath + "' is damaged and could not be set aside (" + std::strerror(errno) +
           "); it starts with the factory sounds.";
  return "the saved sound '" + mPath + "' is damaged; it was kept as '" + aside +
         "' and the instrument starts with the factory sounds.";
}

bool StateStore::save(const std::vector<uint8_t>& bytes, std::string& error) const
{
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(mPath).parent_path(), ignored);
  if (writeFileAtomically(mPath, bytes.data(), bytes.size(), &error)) return true;
  error = "cannot save the sound to '" + mPath + "': " + error + ".";
  return false;
}
