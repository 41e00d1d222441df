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
constexpr const char* kBankExtension = ".fxb";
constexpr const char* kDamagedSuffix = ".damaged";
constexpr const char* kState = "sound";
constexpr const char* kBank = "program bank";

std::string bankBeside(const std::string& path)
{
  std::filesystem::path bank(path);
  bank.replace_extension(kBankExtension);
  // A state file named like a bank must not be overwritten by it.
  if (bank == path) bank += kBankExtension;
  return bank.string();
}

// kRead with `file` open for reading.
StateStore::Read open(const std::string& path, const char* what, std::ifstream& file, std::string& error)
{
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return StateStore::Read::kMissing;
  file.open(path, std::ios::binary);
  const bool folder = std::filesystem::is_directory(path, ignored);
  if (file && !folder) return StateStore::Read::kRead;
  error = std::string("cannot read the saved ") + what + " '" + path + "' (" + std::strerror(folder ? EISDIR : errno) +
          "); check its permissions.";
  return StateStore::Read::kUnreadable;
}

std::string setAsideFile(const std::string& path, const char* what)
{
  const std::string aside = path + kDamagedSuffix;
  if (std::rename(path.c_str(), aside.c_str()) != 0)
    return std::string("the saved ") + what + " '" + path + "' is damaged and could not be set aside (" +
           std::strerror(errno) + "); the instrument starts without it.";
  return std::string("the saved ") + what + " '" + path + "' is damaged; it was kept as '" + aside +
         "' and the instrument starts without it.";
}
} // namespace

StateStore::StateStore(std::string path) : mPath(std::move(path)), mBankPath(bankBeside(mPath)) {}

std::string StateStore::defaultPath()
{
  return ConfigFolder() + kMakerFolder + kFileName;
}

StateStore::Read StateStore::read(std::vector<uint8_t>& bytes, std::string& error) const
{
  std::ifstream file;
  const Read result = open(mPath, kState, file, error);
  if (result == Read::kRead) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return result;
}

StateStore::Read StateStore::findBank(std::string& error) const
{
  std::ifstream file;
  return open(mBankPath, kBank, file, error);
}

std::string StateStore::setAside() const
{
  return setAsideFile(mPath, kState);
}

std::string StateStore::setAsideBank() const
{
  return setAsideFile(mBankPath, kBank);
}

bool StateStore::save(const std::vector<uint8_t>& bytes, std::string& error) const
{
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(mPath).parent_path(), ignored);
  if (writeFileAtomically(mPath, bytes.data(), bytes.size(), &error)) return true;
  error = "cannot save the sound to '" + mPath + "': " + error + ".";
  return false;
}
