#include "ComponentManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
// What the fake component saw of its last call.
struct Seen
{
  std::vector<int16_t> selectors;
  ComponentParameters last{};
  void* lastStorage = nullptr;
  OSStatus openResult = noErr;
};
Seen gSeen;
int gStorage;

ComponentResult recordingEntry(ComponentParameters* params, void* storage)
{
  gSeen.selectors.push_back(params->what);
  gSeen.last = *params;
  gSeen.lastStorage = storage;
  if (params->what == kComponentOpenSelect && gSeen.openResult == noErr)
    SetComponentInstanceStorage(reinterpret_cast<ComponentInstance>(params->params[0]), &gStorage);
  return params->what == kComponentOpenSelect ? gSeen.openResult : noErr;
}

constexpr ComponentDescription kFakeDescription = {kAudioUnitType_MusicDevice, MakeFourCharCode("fake"),
                                                   MakeFourCharCode("Test"), 0, 0};

Component fakeComponent()
{
  static Component component =
      RegisterComponent(kFakeDescription, "Fake", recordingEntry, "org.tessaryn.fake", "/tmp/fake-resources");
  return component;
}

struct ComponentManagerTest : ::testing::Test
{
  void SetUp() override { gSeen = Seen{}; }
};
} // namespace

TEST_F(ComponentManagerTest, AnOpenInstanceKnowsItsComponentAndPassesItsStorageToTheEntry)
{
  ComponentInstance instance = nullptr;
  ASSERT_EQ(OpenAComponent(fakeComponent(), &instance), noErr);
  EXPECT_EQ(gSeen.last.params[0], reinterpret_cast<intptr_t>(instance));
  EXPECT_EQ(GetComponentInstanceStorage(instance), &gStorage);

  ComponentDescription description{};
  EXPECT_EQ(AudioUnitInitialize(instance), noErr);
  EXPECT_EQ(gSeen.lastStorage, &gStorage);

  ASSERT_EQ(CloseComponent(instance), noErr);
  EXPECT_EQ(gSeen.selectors,
            (std::vector<int16_t>{kComponentOpenSelect, kAudioUnitInitializeSelect, kComponentCloseSelect}));
  EXPECT_EQ(GetComponentInfo(instance, &description), badComponentInstance);
  EXPECT_EQ(CloseComponent(instance), badComponentInstance);
}

TEST_F(ComponentManagerTest, AnInstanceWhoseOpenFailsIsDiscardedWithTheError)
{
  gSeen.openResult = badComponentSelector;
  ComponentInstance instance = nullptr;
  EXPECT_EQ(OpenAComponent(fakeComponent(), &instance), badComponentSelector);
  EXPECT_EQ(instance, nullptr);
}

namespace
{
struct Received
{
  std::atomic<int> count{0};
  void* sender = nullptr;
  AudioUnitParameterID parameter = 0;
};

void receive(void* userData, void* sendingObject, const AudioUnitEvent* event)
{
  auto* received = static_cast<Received*>(userData);
  received->sender = sendingObject;
  received->parameter = event->mArgument.mParameter.mParameterID;
  received->count.fetch_add(1);
}

AudioUnitEvent gestureEvent(AudioUnit unit, AudioUnitParameterID id)
{
  AudioUnitEvent event{};
  event.mEventType = kAudioUnitEvent_BeginParameterChangeGesture;
  event.mArgument.mParameter = {unit, id, kAudioUnitScope_Global, 0};
  return event;
}
} // namespace

TEST_F(ComponentManagerTest, ParameterEventsReachEverySubscriberButTheSender)
{
  ComponentInstance instance = nullptr;
  ASSERT_EQ(OpenAComponent(fakeComponent(), &instance), noErr);
  Received first, second;
  AUEventListenerRef firstRef = AUEventListenerSubscribe(instance, receive, &first);
  AUEventListenerRef secondRef = AUEventListenerSubscribe(instance, receive, &second);
  ASSERT_TRUE(firstRef && secondRef);

  AudioUnitEvent event = gestureEvent(instance, 7);
  EXPECT_EQ(AUEventListenerNotify(nullptr, &gStorage, &event), noErr);
  EXPECT_EQ(AUEventListenerNotify(firstRef, nullptr, &event), noErr);
  EXPECT_EQ(first.count, 1);
  EXPECT_EQ(second.count, 2);
  EXPECT_EQ(second.parameter, 7u);

  AUEventListenerUnsubscribe(secondRef);
  AUEventListenerNotify(nullptr, nullptr, &event);
  EXPECT_EQ(second.count, 2);
  AUEventListenerUnsubscribe(firstRef);
  CloseComponent(instance);
}

TEST_F(ComponentManagerTest, SubscriptionsAreLimitedAndFreedSlotsAreReused)
{
  ComponentInstance instance = nullptr;
  ASSERT_EQ(OpenAComponent(fakeComponent(), &instance), noErr);
  Received received;
  std::vector<AUEventListenerRef> refs;
  for (int i = 0; i < kMaxEventSubscribers; ++i)
    refs.push_back(AUEventListenerSubscribe(instance, receive, &received));
  EXPECT_EQ(AUEventListenerSubscribe(instance, receive, &received), nullptr);
  AUEventListenerUnsubscribe(refs.back());
  EXPECT_EQ(AUEventListenerSubscribe(instance, receive, &received), refs.back());
  EXPECT_EQ(AUEventListenerSubscribe(nullptr, receive, &received), nullptr);
  CloseComponent(instance); // ends the remaining subscriptions
}

TEST_F(ComponentManagerTest, NoEventArrivesAfterUnsubscribeReturnsWhileAnotherThreadNotifies)
{
  ComponentInstance instance = nullptr;
  ASSERT_EQ(OpenAComponent(fakeComponent(), &instance), noErr);
  std::atomic<bool> stop{false};
  AudioUnitEvent event = gestureEvent(instance, 1);
  std::thread notifier(
      [&]
      {
        while (!stop.load())
          AUEventListenerNotify(nullptr, nullptr, &event);
      });
  for (int round = 0; round < 200; ++round)
  {
    Received received;
    AUEventListenerRef ref = AUEventListenerSubscribe(instance, receive, &received);
    ASSERT_NE(ref, nullptr);
    AUEventListenerUnsubscribe(ref);
    int afterUnsubscribe = received.count.load();
    std::this_thread::yield();
    EXPECT_EQ(received.count.load(), afterUnsubscribe);
  }
  stop = true;
  notifier.join();
  CloseComponent(instance);
}
