// Writes a bundle's manifest.ttl and description from the instrument itself:
//   lv2-ttl-gen BUNDLE_DIR BINARY_FILE DESCRIPTION_FILE
// The build runs it after linking the bundle's library, so the Turtle always
// matches the parameter table and the factory programs.

#include "Lv2Binding.h"
#include "Lv2TurtleWriter.h"

#include <cstdio>
#include <fstream>

namespace
{
constexpr double kSampleRate = 48000.0;

// A component is named "Maker: Product".
constexpr const char* kMakerSeparator = ": ";

std::string productName(const std::string& componentName)
{
  const size_t colon = componentName.find(kMakerSeparator);
  return colon == std::string::npos ? componentName : componentName.substr(colon + 2);
}

std::string makerName(const std::string& componentName)
{
  const size_t colon = componentName.find(kMakerSeparator);
  return colon == std::string::npos ? std::string() : componentName.substr(0, colon);
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 4)
  {
    std::fprintf(stderr, "Usage: %s BUNDLE_DIR BINARY_FILE DESCRIPTION_FILE\n", argv[0]);
    return 2;
  }
  const std::string bundle = std::string(argv[1]) + "/";
  const Lv2Binding& binding = Lv2BindingOf();
  Component component = binding.mRegister(bundle.c_str());
  HostModel host;
  if (!component || host.Open(component) != noErr || host.SetSampleRate(kSampleRate) != noErr ||
      host.SetStreamFormat(kAudioUnitScope_Output, 0, 2) != noErr || host.Initialize() != noErr)
  {
    std::fprintf(stderr, "The instrument of %s could not be opened; no Turtle was written.\n", binding.mUri);
    return 1;
  }
  const Lv2TurtleWriter writer(host, binding.mUri, productName(component->mName), makerName(component->mName),
                               binding.mHasUi ? binding.UiUri() : std::string());
  std::ofstream manifest(bundle + "manifest.ttl");
  writer.WriteManifest(manifest, argv[2], argv[3]);
  std::ofstream description(bundle + argv[3]);
  writer.WriteDescription(description);
  if (!manifest || !description)
  {
    std::fprintf(stderr, "The Turtle files in %s could not be written; check that the folder is writable.\n", argv[1]);
    return 1;
  }
  return 0;
}
