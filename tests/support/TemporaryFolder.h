#pragma once
// A fresh folder under the system's temporary one, removed with everything in
// it when the object goes.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

class TemporaryFolder
{
public:
  TemporaryFolder()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaryn-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    mRoot = pattern;
  }
  ~TemporaryFolder()
  {
    std::error_code ignored;
    std::filesystem::remove_all(mRoot, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& root() const { return mRoot; }
  std::string path(const std::string& name) const { return (mRoot / name).string(); }
  std::vector<std::string> fileNames() const
  {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mRoot))
      names.push_back(entry.path().filename().string());
    return names;
  }

private:
  std::filesystem::path mRoot;
};
