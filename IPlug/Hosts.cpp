#include "Hosts.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace
{
constexpr int kLowerCaseSize = 256;

struct HostKey
{
  const char* mSearch;
  EHost mHost;
};

// Order matters: the first key found wins, so "cubase" beats "nuendo" and
// "live" beats "logic" in names containing both.
constexpr HostKey kHostKeys[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"openmpt", kHostOpenMPT},
    {"renoise", kHostRenoise},
    {"standalone", kHostStandalone},
};

const char* displayName(EHost host)
{
  switch (host)
  {
  case kHostReaper:
    return "Reaper";
  case kHostProTools:
    return "ProTools";
  case kHostCubase:
    return "Cubase";
  case kHostNuendo:
    return "Nuendo";
  case kHostSonar:
    return "Sonar";
  case kHostVegas:
    return "Vegas";
  case kHostFL:
    return "FLStudio";
  case kHostSamplitude:
    return "Samplitude";
  case kHostAbletonLive:
    return "Live";
  case kHostVSTScanner:
    return "VSTScanner";
  case kHostAULab:
    return "AULab";
  case kHostForte:
    return "Forte";
  case kHostChainer:
    return "Chainer";
  case kHostAudition:
    return "Audition";
  case kHostOrion:
    return "Orion";
  case kHostSAWStudio:
    return "SAWStudio";
  case kHostLogic:
    return "Logic";
  case kHostGarageBand:
    return "GarageBand";
  case kHostDigitalPerformer:
    return "DigitalPerformer";
  case kHostStandalone:
    return "Standalone";
  case kHostAudioMulch:
    return "AudioMulch";
  case kHostStudioOne:
    return "StudioOne";
  case kHostVST3TestHost:
    return "VST3PluginTestHost";
  case kHostArdour:
    return "Ardour";
  case kHostRenoise:
    return "Renoise";
  case kHostOpenMPT:
    return "OpenMPT";
  default:
    return "Unknown";
  }
}

// Copies at most kLowerCaseSize - 1 characters, so no host name can overflow.
void toLower(char* dst, const char* src)
{
  int i = 0;
  for (; src[i] && i < kLowerCaseSize - 1; ++i)
    dst[i] = static_cast<char>(tolower(static_cast<unsigned char>(src[i])));
  dst[i] = 0;
}
} // namespace

EHost LookUpHost(const char* name)
{
  char lowerCase[kLowerCaseSize];
  toLower(lowerCase, name ? name : "");
  for (const HostKey& key : kHostKeys)
    if (strstr(lowerCase, key.mSearch)) return key.mHost;
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* out)
{
  snprintf(out, kHostNameStrSize, "%s", displayName(host));
}
