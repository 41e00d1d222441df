#pragma once
// One automatable parameter: a value in the plug-in's own range plus what a
// host or editor needs to show it and to map it to and from 0..1.

#include "Containers.h"

#include <atomic>

enum EParamType
{
  kTypeNone = 0,
  kTypeBool = 1,
  kTypeInt = 2,
  kTypeEnum = 3,
  kTypeDouble = 4
};

class IParam
{
public:
  // Every text field holds at most this many bytes including the terminator.
  static constexpr int kTextSize = 32;

  IParam() = default;
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Construction-time setup, called from the plug-in's constructor.
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "", const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.0);

  void SetDisplayText(int value, const char* text);
  void SetShape(double shape);
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }
  void SetIsMeta(bool isMeta) { mIsMeta = isMeta; }
  void NegateDisplay() { mNegateDisplay = true; }
  void SignDisplay() { mSignDisplay = true; }

  // Value access is lock-free: the audio thread reads while host and editor
  // threads write, so the value is an atomic read and written whole.
  void Set(double value) { mValue.store(clampToRange(value), std::memory_order_relaxed); }
  double Value() const { return mValue.load(std::memory_order_relaxed); }
  bool Bool() const { return Value() >= 0.5; }
  int Int() const { return static_cast<int>(Value()); }
  double DBToAmp() const;

  void SetNormalized(double normalizedValue);
  double GetNormalized() const { return GetNormalized(Value()); }
  double GetNormalized(double nonNormalizedValue) const;
  double GetNonNormalized(double normalizedValue) const;

  // display must hold kMaxDisplaySize bytes.
  static constexpr int kMaxDisplaySize = 128;
  void GetDisplayForHost(char* display, bool withDisplayText = true) const
  {
    GetDisplayForHost(Value(), false, display, withDisplayText);
  }
  void GetDisplayForHost(double value, bool normalized, char* display, bool withDisplayText = true) const;

  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const;
  const char* GetLabel() const { return mLabel; } // whatever the current value
  const char* GetParamGroupForHost() const { return mParamGroup; }

  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  const char* GetDisplayText(int value) const;
  const char* GetDisplayTextAtIdx(int idx, int* value = nullptr) const;
  bool MapDisplayText(const char* str, int* pValue) const;

  EParamType Type() const { return mType; }
  double GetDefault() const { return mDefault; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  int GetPrecision() const { return mDisplayPrecision; }
  bool GetCanAutomate() const { return mCanAutomate; }
  bool GetIsMeta() const { return mIsMeta; }
  bool GetNegateDisplay() const { return mNegateDisplay; }
  bool GetSignDisplay() const { return mSignDisplay; }
  void GetBounds(double* pMin, double* pMax) const
  {
    *pMin = mMin;
    *pMax = mMax;
  }

private:
  struct DisplayText
  {
    int mValue;
    char mText[kTextSize];
  };

  void initCommon(EParamType type, const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label, const char* group);
  double clampToRange(double value) const;

  EParamType mType = kTypeNone;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  char mName[kTextSize] = {};
  char mLabel[kTextSize] = {};
  char mParamGroup[kTextSize] = {};
  bool mNegateDisplay = false;
  bool mSignDisplay = false;
  bool mCanAutomate = true;
  bool mIsMeta = false;
  WDL_TypedBuf<DisplayText> mDisplayTexts{static_cast<int>(sizeof(DisplayText)) * 8};
};
