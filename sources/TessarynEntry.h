#pragma once
// The instrument as an Audio Unit component: its entry and its registration
// with the component manager.

#include "ComponentManager.h"

extern "C" ComponentResult Tessaryn_Entry(ComponentParameters* params, void* storage);

// Registers the music device (subtype '1416', manufacturer 'PeWo') once per
// process; later calls return the first registration. resourcePath is the
// folder holding the instrument's resources. Any thread.
Component registerTessarynComponent(const char* resourcePath);
