#include "IControl.h"
#include "TestGraphics.h"
#include "TestPlug.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(IPlugBase, VersionWordsReadAsPartsDecimalAndText)
{
  TestPlug plug;
  EXPECT_EQ(plug.GetEffectVersion(true), 20301);
  char text[kVersionStrSize];
  plug.GetEffectVersionStr(text);
  EXPECT_STREQ(text, "v2.3.1");
  GetVersionStr(0xffffffff, text); // the widest word still fits
  EXPECT_STREQ(text, "v65535.255.255");
}

TEST(IPlugBase, ConnectionsAndLabelsIgnoreInvalidChannels)
{
  TestPlug plug(1, "2-4");
  plug.SetOutputChannelConnections(1, 10, true);
  EXPECT_FALSE(plug.IsOutChannelConnected(0));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(4));
  plug.SetInputLabel(7, "none");
  plug.SetOutputLabel(-1, "none");

  plug.SetInputBusLabel(0, "main");
  plug.SetInputBusLabel(1, "side");
  plug.SetInputBusLabel(2, "third");
  EXPECT_STREQ(plug.GetInputBusLabel(1)->Get(), "side");
  EXPECT_EQ(plug.GetInputBusLabel(2), nullptr);
}

namespace
{
struct StereoFrame
{
  static constexpr int kFrames = 4;
  TestPlug plug{1, "1-2"};
  float in[kFrames] = {0.5f, -0.5f, 0.25f, 1.0f};
  float out0[kFrames] = {9, 9, 9, 9};
  float out1[kFrames] = {9, 9, 9, 9};

  StereoFrame()
  {
    plug.SetBlockSize(kFrames);
    plug.SetInputChannelConnections(0, 1, true);
    plug.SetOutputChannelConnections(0, 2, true);
    float* pIn = in;
    float* outs[] = {out0, out1};
    plug.AttachInputBuffers(0, 1, &pIn, kFrames);
    plug.AttachOutputBuffers(0, 2, outs);
  }
};
} // namespace

TEST(IPlugBase, ProcessingCopiesOrAddsMatchingChannelsAndLeavesUnconnectedOutputsAlone)
{
  const struct
  {
    const char* what;
    void (*process)(TestPlug&);
    float base0, base1; // what the outputs hold on top of the input, channel 0 and 1
  } cases[] = {
      {"process", [](TestPlug& plug) { plug.ProcessBuffers(0.0f, StereoFrame::kFrames); }, 0.0f, 0.0f},
      {"accumulate", [](TestPlug& plug) { plug.ProcessBuffersAccumulating(0.0f, StereoFrame::kFrames); }, 9.0f, 9.0f},
      {"pass through without the second output",
       [](TestPlug& plug)
       {
         plug.SetOutputChannelConnections(1, 1, false);
         plug.PassThroughBuffers(0.0f, StereoFrame::kFrames);
       },
       0.0f, 9.0f},
  };
  for (const auto& c : cases)
  {
    StereoFrame frame;
    c.process(frame.plug);
    for (int s = 0; s < StereoFrame::kFrames; ++s)
    {
      EXPECT_EQ(frame.out0[s], c.base0 + frame.in[s]) << c.what;
      EXPECT_EQ(frame.out1[s], c.base1) << c.what;
    }
  }
}

TEST(IPlugBase, EditorChangesSetTheParameterTellTheHostAndNotifyTheInstrument)
{
  TestPlug plug(3);
  plug.GetParam(1)->InitInt("i", 0, 0, 10);
  plug.SetParameterFromGUI(1, 0.45);
  EXPECT_EQ(plug.GetParam(1)->Value(), 5.0);
  EXPECT_EQ(plug.mInformed, (std::vector<std::pair<int, double>>{{1, 0.45}}));
  EXPECT_EQ(plug.mChanged, std::vector<int>{1});
  plug.SetParameterFromGUI(3, 0.5);
  EXPECT_EQ(plug.mInformed.size(), 1u);
}

TEST(IPlugBase, AttachedGraphicsFollowParametersAndAreDeletedWithThePlugIn)
{
  struct DyingGraphics : TestGraphics
  {
    DyingGraphics(IPlugBase* pPlug, bool* pDestroyed) : TestGraphics(pPlug, 8, 8), mDestroyed(pDestroyed) {}
    ~DyingGraphics() override { *mDestroyed = true; }
    bool* mDestroyed;
  };
  bool destroyed = false;
  {
    TestPlug plug(2);
    plug.GetParam(1)->InitInt("i", 5, 0, 10);
    plug.AttachGraphics(nullptr);
    EXPECT_EQ(plug.GetGUI(), nullptr);
    auto* graphics = new DyingGraphics(&plug, &destroyed);
    auto* control = new IBitmapControl(&plug, 0, 0, 1, IBitmap());
    graphics->AttachControl(control);
    plug.AttachGraphics(graphics);
    EXPECT_DOUBLE_EQ(control->GetValue(), 0.5);
    EXPECT_NE(graphics->GetDrawBitmap(), nullptr);
  }
  EXPECT_TRUE(destroyed);
}

TEST(IPlugBase, OverlongNamesAreCut)
{
  const std::string longName(300, 'n');
  TestPlug plug(1, "0-2", 1, longName.c_str());
  EXPECT_EQ(plug.GetEffectName(), longName.substr(0, IPlugBase::kNameSize - 1));
}
