// The tessaryn.lv2 bundle wraps the instrument's component and its editor.

#include "Lv2Binding.h"
#include "TessarynEntry.h"

const Lv2Binding& Lv2BindingOf()
{
  static const Lv2Binding binding = {"urn:pellworth:tessaryn", registerTessarynComponent, true};
  return binding;
}
