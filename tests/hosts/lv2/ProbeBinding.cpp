// The test bundle tessaryn_test_instrument.lv2 wraps the probe instrument.

#include "Lv2Binding.h"
#include "ProbeInstrument.h"

const Lv2Binding& Lv2BindingOf()
{
  static const Lv2Binding binding = {"urn:example:tessaryn-test-instrument", RegisterProbeInstrument};
  return binding;
}
