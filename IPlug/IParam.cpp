#include "IParam.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace
{
constexpr int kMaxPrecision = 6;
constexpr double kLn10Over20 = 0.1151292546497;

// Texts come from callers we do not control; a long one is cut, not overflowed.
void copyText(char* dst, const char* src)
{
  snprintf(dst, IParam::kTextSize, "%s", src ? src : "");
}

int precisionOfStep(double step)
{
  int precision = 0;
  while (precision < kMaxPrecision && step != std::floor(step))
  {
    ++precision;
    step *= 10.0;
  }
  return precision;
}
} // namespace

void IParam::initCommon(EParamType type, const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, const char* group)
{
  if (mType == kTypeNone) mType = type;
  copyText(mName, name);
  copyText(mLabel, label);
  copyText(mParamGroup, group);
  mMin = minVal;
  mMax = std::max(minVal + step, maxVal);
  mStep = step;
  mDisplayPrecision = 0;
  mValue.store(defaultVal, std::memory_order_relaxed);
  mDefault = defaultVal;
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group)
{
  initCommon(kTypeBool, name, defaultVal ? 1.0 : 0.0, 0.0, 1.0, 1.0, label, group);
  mShape = 1.0;
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label, const char* group)
{
  initCommon(kTypeEnum, name, defaultVal, 0.0, nEnums - 1, 1.0, label, group);
  mShape = 1.0;
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label, const char* group)
{
  initCommon(kTypeInt, name, defaultVal, minVal, maxVal, 1.0, label, group);
  mShape = 1.0;
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, const char* group, double shape)
{
  initCommon(kTypeDouble, name, defaultVal, minVal, maxVal, step, label, group);
  SetShape(shape);
  mDisplayPrecision = precisionOfStep(step);
}

void IParam::SetDisplayText(int value, const char* text)
{
  DisplayText entry{value, {}};
  copyText(entry.mText, text);
  mDisplayTexts.Add(entry);
}

void IParam::SetShape(double shape)
{
  if (shape != 0.0) mShape = shape;
}

// NaN, from damaged stored state, has no place in a range: it would pass any
// clamp and reach the engine, so it becomes the default.
double IParam::clampToRange(double value) const
{
  return std::isnan(value) ? mDefault : std::clamp(value, mMin, mMax);
}

double IParam::DBToAmp() const
{
  return std::exp(Value() * kLn10Over20);
}

double IParam::GetNonNormalized(double normalizedValue) const
{
  return mMin + (mMax - mMin) * std::pow(normalizedValue, mShape);
}

double IParam::GetNormalized(double nonNormalizedValue) const
{
  return std::pow((clampToRange(nonNormalizedValue) - mMin) / (mMax - mMin), 1.0 / mShape);
}

void IParam::SetNormalized(double normalizedValue)
{
  double value = GetNonNormalized(normalizedValue);
  if (mType != kTypeDouble) value = std::floor(value / mStep + 0.5) * mStep;
  mValue.store(std::min(value, mMax), std::memory_order_relaxed);
}

void IParam::GetDisplayForHost(double value, bool normalized, char* display, bool withDisplayText) const
{
  if (normalized) value = GetNonNormalized(value);
  if (withDisplayText && GetNDisplayTexts() > 0)
  {
    const char* text = GetDisplayText(static_cast<int>(value));
    if (*text)
    {
      snprintf(display, kMaxDisplaySize, "%s", text);
      return;
    }
  }
  if (mNegateDisplay) value = -value;
  if (mDisplayPrecision == 0)
    // Out-of-range doubles would make the int conversion undefined.
    snprintf(display, kMaxDisplaySize, "%d", static_cast<int>(std::clamp(value, double(INT_MIN), double(INT_MAX))));
  else
    snprintf(display, kMaxDisplaySize, "%.*f", mDisplayPrecision, value);
}

const char* IParam::GetLabelForHost() const
{
  return *GetDisplayText(Int()) ? "" : mLabel;
}

const char* IParam::GetDisplayText(int value) const
{
  for (int i = 0; i < GetNDisplayTexts(); ++i)
    if (mDisplayTexts.Get()[i].mValue == value) return mDisplayTexts.Get()[i].mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* value) const
{
  if (idx < 0 || idx >= GetNDisplayTexts()) return "";
  const DisplayText& entry = mDisplayTexts.Get()[idx];
  if (value) *value = entry.mValue;
  return entry.mText;
}

bool IParam::MapDisplayText(const char* str, int* pValue) const
{
  for (int i = 0; i < GetNDisplayTexts(); ++i)
  {
    const DisplayText& entry = mDisplayTexts.Get()[i];
    if (strcmp(entry.mText, str) == 0)
    {
      *pValue = entry.mValue;
      return true;
    }
  }
  return false;
}
