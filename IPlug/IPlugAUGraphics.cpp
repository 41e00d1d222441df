#include "IGraphicsLinux.h"
#include "IPlugAU.h"

#include <atomic>

namespace
{
std::atomic<IPlugAU::MakeGraphicsFn> sGraphicsMaker{nullptr};
}

IGraphics* IPlugAU::MakeGraphics(IPlugBase* pPlug, int w, int h, int fps, const char* bundleID)
{
  if (MakeGraphicsFn maker = sGraphicsMaker) return maker(pPlug, w, h, fps, bundleID);
  auto* graphics = new IGraphicsLinux(pPlug, w, h, fps);
  graphics->SetBundleID(bundleID);
  return graphics;
}

void IPlugAU::SetGraphicsMaker(MakeGraphicsFn maker)
{
  sGraphicsMaker = maker;
}
