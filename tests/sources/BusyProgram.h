#pragma once
// The heaviest everyday patch: four PWM oscillators, sync and cross-modulation,
// noise, a resonant filter swept by its envelope, and Poly voicing. The render
// tests check it and the benchmarks time it.

#include "VCO.h"
#include "tessaryn.h"

#include <array>

struct BusySetting
{
  int mParam;
  double mValue;
};

inline constexpr std::array<BusySetting, 15> kBusyProgram = {{
    {Tessaryn::kWave1, VCO::kPwm},
    {Tessaryn::kWave2, VCO::kPwm},
    {Tessaryn::kWave3, VCO::kPwm},
    {Tessaryn::kWave4, VCO::kPwm},
    {Tessaryn::kPWM, 0.7},
    {Tessaryn::kEffects, 1},
    {Tessaryn::kFXType, 1}, // S&X: sync and cross-modulation
    {Tessaryn::kFXXMod, 0.8},
    {Tessaryn::kNoise, 0.2},
    {Tessaryn::kReso, 0.7},
    {Tessaryn::kCutOff, 0.4},
    {Tessaryn::kEGIntens, 5000},
    {Tessaryn::kEG1D, 0.5},
    {Tessaryn::kEG1S, 0.3},
    {Tessaryn::kKeyAssgn, Tessaryn::kPoly},
}};
