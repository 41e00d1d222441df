#include "ComponentManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
int gStorage;

ComponentResult storingEntry(ComponentParameters* params, void*)
{
  if (params->what == kComponentOpenSelect)
    SetComponentInstanceStorage(reinterpret_cast<ComponentInstance>(params->params[0]), &gStorage);
  return noErr;
}

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

// Closing the instance also ends the subscriptions a test leaves.
struct ComponentManagerTest : testing::Test
{
  void SetUp() override
  {
    static const Component component =
        RegisterComponent({kAudioUnitType_MusicDevice, MakeFourCharCode("fake"), MakeFourCharCode("Test"), 0, 0},
                          "Fake", storingEntry, "org.tessaryn.fake", "/tmp/fake-resources");
    ASSERT_EQ(OpenAComponent(component, &instance), noErr);
  }
  void TearDown() override { CloseComponent(instance); }
  ComponentInstance instance = nullptr;
};
} // namespace

TEST_F(ComponentManagerTest, ParameterEventsReachEverySubscriberButTheSender)
{
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
}

TEST_F(ComponentManagerTest, SubscriptionsAreLimitedAndFreedSlotsAreReused)
{
  Received received;
  std::vector<AUEventListenerRef> refs;
  for (int i = 0; i < kMaxEventSubscribers; ++i)
    refs.push_back(AUEventListenerSubscribe(instance, receive, &received));
  EXPECT_EQ(AUEventListenerSubscribe(instance, receive, &received), nullptr);
  AUEventListenerUnsubscribe(refs.back());
  EXPECT_EQ(AUEventListenerSubscribe(instance, receive, &received), refs.back());
  EXPECT_EQ(AUEventListenerSubscribe(nullptr, receive, &received), nullptr);
}

TEST_F(ComponentManagerTest, NoEventArrivesAfterUnsubscribeReturnsWhileAnotherThreadNotifies)
{
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
}
