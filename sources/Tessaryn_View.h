#pragma once
// The instrument's view factory class: opens the editor of the plug-in object
// behind an Audio Unit as an X11 view in the host's window.

#include "AUViewFactory.h"

class IGraphics;
class IPlugBase;

class Tessaryn_View : public AUViewFactory
{
public:
  static constexpr const char* kClassName = "Tessaryn_View";
  static std::unique_ptr<AUViewFactory> make();

  uint32_t interfaceVersion() const override { return 0; }
  const char* description() const override { return "Tessaryn View"; }
  AUX11View uiViewForAudioUnit(AudioUnit unit, unsigned long parent, bool hostIdle, double hostScale) override;
  AUX11View view() const override;
  void idleView() override;
  void closeView() override;

private:
  IGraphics* editor() const;

  IPlugBase* mPlug = nullptr;
};
