#pragma once
// What one LV2 bundle wraps: its plug-in URI and the component it registers.
// Each bundle's library and Turtle generator link exactly one definition of
// Lv2BindingOf().

#include "ComponentManager.h"

#include <string>

struct Lv2Binding
{
  const char* mUri;
  // Registers the component with its resources in bundlePath (ending in a
  // separator), or returns the earlier registration. Instantiation thread.
  Component (*mRegister)(const char* bundlePath);
  // The component's editor is offered as the bundle's X11 UI.
  bool mHasUi = false;

  std::string StateUri() const { return std::string(mUri) + "#state"; }
  std::string UiUri() const { return std::string(mUri) + "#ui"; }
};

const Lv2Binding& Lv2BindingOf();
