// The tessaryn.lv2 bundle wraps the instrument's component.

#include "Lv2Binding.h"
#include "TessarynEntry.h"

const Lv2Binding& Lv2BindingOf()
{
  static const Lv2Binding binding = {"urn:pellworth:tessaryn", registerTessarynComponent};
  return binding;
}
