#include "TessarynEntry.h"

#include "Tessaryn_View.h"
#include "tessaryn.h"

namespace
{
constexpr const char* kBundleID = Synth::kBundleIdentifier;
constexpr const char* kViewClass = Tessaryn_View::kClassName;
constexpr OSType kSubType = Synth::kUniqueID;

IPlugAU* makeTessaryn()
{
  IPlugInstanceInfo info;
  info.mOSXBundleID.Set(kBundleID);
  info.mCocoaViewFactoryClassName.Set(kViewClass);
  return new Tessaryn(info);
}
} // namespace

extern "C" ComponentResult Tessaryn_Entry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage, makeTessaryn);
}

Component registerTessarynComponent(const char* resourcePath)
{
  static const Component component = [resourcePath]
  {
    const ComponentDescription description{kAudioUnitType_MusicDevice, kSubType, MakeFourCharCode("PeWo"), 0, 0};
    RegisterViewFactoryClass(kViewClass, Tessaryn_View::make);
    return RegisterComponent(description, "Pellworth: Tessaryn", Tessaryn_Entry, kBundleID, resourcePath);
  }();
  return component;
}
