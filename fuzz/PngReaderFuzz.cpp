// PNG images come from the plug-in's resources folder, which users and
// packagers can replace: the reader must survive any bytes.

#include "LICE_IBitmap.h"
#include "LICE_PNG.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  std::unique_ptr<LICE_IBitmap> bitmap(LICE_LoadPNGFromMemory(data, size));
  if (bitmap && bitmap->IsValid())
  {
    // Touch every decoded row so a short buffer would show.
    volatile unsigned sum = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(bitmap->GetBits());
    for (int y = 0; y < bitmap->GetDeviceHeight(); ++y) sum = sum + bytes[size_t(y) * bitmap->GetRowSpan()];
  }
  return 0;
}
