#include "Tessaryn_View.h"

#include "ComponentManager.h"
#include "IGraphicsLinux.h"
#include "IPlugAU.h"

std::unique_ptr<AUViewFactory> Tessaryn_View::make()
{
  return std::make_unique<Tessaryn_View>();
}

AUX11View Tessaryn_View::uiViewForAudioUnit(AudioUnit unit, unsigned long parent, bool hostIdle, double hostScale)
{
  closeView();
  mPlug = static_cast<IPlugAU*>(GetComponentInstanceStorage(unit));
  IGraphics* gui = editor();
  if (!gui) return {};
  if (auto* window = dynamic_cast<IGraphicsLinux*>(gui))
  {
    window->SetHostIdle(hostIdle);
    window->SetHostScale(hostScale);
  }
  if (!gui->OpenWindow(reinterpret_cast<void*>(uintptr_t(parent)))) return {};
  mPlug->OnGUIOpen();
  return view();
}

AUX11View Tessaryn_View::view() const
{
  IGraphics* gui = editor();
  if (!gui || !gui->WindowIsOpen()) return {};
  return {reinterpret_cast<uintptr_t>(gui->GetWindow()), gui->GetBitsWidth(), gui->GetBitsHeight()};
}

void Tessaryn_View::idleView()
{
  if (auto* window = dynamic_cast<IGraphicsLinux*>(editor())) window->Idle();
}

// The editor tells the plug-in itself that it closed.
void Tessaryn_View::closeView()
{
  if (IGraphics* gui = editor()) gui->CloseWindow();
  mPlug = nullptr;
}

IGraphics* Tessaryn_View::editor() const
{
  return mPlug ? mPlug->GetGUI() : nullptr;
}
