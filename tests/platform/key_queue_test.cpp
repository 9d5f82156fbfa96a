// The key queue: order, the 31-byte capacity, and what a full queue pushes out.
#include "platform/key_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <thread>
#include <vector>

namespace {

using platform::KeyQueue;

void push(KeyQueue& queue, std::initializer_list<std::uint8_t> key) {
  const std::vector<std::uint8_t> bytes(key);
  queue.push(bytes);
}

// Takes every byte there is, oldest first.
std::vector<std::uint8_t> drain(KeyQueue& queue) {
  std::vector<std::uint8_t> bytes;
  while (const auto byte = queue.pop_for(0)) bytes.push_back(*byte);
  return bytes;
}

// A queue holding 15 two-byte keys (0, 100 + i) and then the single key 'x':
// 31 bytes, full.
void fill_with_pairs(KeyQueue& queue) {
  for (std::uint8_t i = 0; i < 15; ++i) push(queue, {0, static_cast<std::uint8_t>(100 + i)});
  push(queue, {'x'});
  ASSERT_EQ(queue.size(), 31u);
}

// The bytes of the pairs first..14 of fill_with_pairs, then 'x'.
std::vector<std::uint8_t> pairs_from(int first) {
  std::vector<std::uint8_t> bytes;
  for (int i = first; i < 15; ++i) {
    bytes.push_back(0);
    bytes.push_back(static_cast<std::uint8_t>(100 + i));
  }
  bytes.push_back('x');
  return bytes;
}

std::vector<std::uint8_t> concat(std::vector<std::uint8_t> a, std::initializer_list<std::uint8_t> b) {
  a.insert(a.end(), b);
  return a;
}

TEST(KeyQueue, GivesBytesOldestFirst) {
  KeyQueue queue;
  EXPECT_EQ(queue.size(), 0u);
  EXPECT_FALSE(queue.pop_for(0).has_value());
  push(queue, {'a'});
  push(queue, {0, 59});
  push(queue, {27});
  push(queue, {0, 107});
  EXPECT_EQ(queue.size(), 6u);
  EXPECT_EQ(queue.pop(), 'a');
  EXPECT_EQ(queue.pop(), 0);
  EXPECT_EQ(queue.pop(), 59);
  push(queue, {13});
  EXPECT_EQ(drain(queue), (std::vector<std::uint8_t>{27, 0, 107, 13}));
  EXPECT_EQ(queue.size(), 0u);
}

TEST(KeyQueue, HoldsAtMost31SingleBytesDroppingTheOldest) {
  KeyQueue queue;
  for (int i = 1; i <= 31; ++i) push(queue, {static_cast<std::uint8_t>(i)});
  EXPECT_EQ(queue.size(), 31u);
  for (int i = 32; i <= 40; ++i) push(queue, {static_cast<std::uint8_t>(i)});
  EXPECT_EQ(queue.size(), 31u);
  std::vector<std::uint8_t> expected;
  for (int i = 10; i <= 40; ++i) expected.push_back(static_cast<std::uint8_t>(i));
  EXPECT_EQ(drain(queue), expected);
}

TEST(KeyQueue, FullQueuePushesOutWholeKeys) {
  struct Case {
    const char* name;
    std::vector<std::vector<std::uint8_t>> pushed_after_fill;
    std::vector<std::uint8_t> expected;
  };
  const std::vector<Case> cases = {
      // A single byte needs one place: the oldest key, a pair, goes whole.
      {"single after pairs", {{'y'}}, concat(pairs_from(1), {'y'})},
      // Now there is room for one more without a loss.
      {"two singles after pairs", {{'y'}, {'z'}}, concat(pairs_from(1), {'y', 'z'})},
      // Then the next pair goes whole.
      {"three singles after pairs", {{'y'}, {'z'}, {'w'}}, concat(pairs_from(2), {'y', 'z', 'w'})},
      // A pair needs two places: exactly the oldest pair goes.
      {"pair after pairs", {{0, 72}}, concat(pairs_from(1), {0, 72})},
      {"two pairs after pairs", {{0, 72}, {0, 80}}, concat(pairs_from(2), {0, 72, 0, 80})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyQueue queue;
    fill_with_pairs(queue);
    for (const auto& key : c.pushed_after_fill) queue.push(key);
    EXPECT_LE(queue.size(), 31u);
    EXPECT_EQ(drain(queue), c.expected);
  }
}

TEST(KeyQueue, PairArrivingAtSinglesPushesOutTwoOfThem) {
  KeyQueue queue;
  for (int i = 1; i <= 31; ++i) push(queue, {static_cast<std::uint8_t>(i)});
  push(queue, {0, 80});
  std::vector<std::uint8_t> expected;
  for (int i = 3; i <= 31; ++i) expected.push_back(static_cast<std::uint8_t>(i));
  expected.push_back(0);
  expected.push_back(80);
  EXPECT_EQ(drain(queue), expected);
}

TEST(KeyQueue, PairArrivingAtASingleBeforePairsPushesOutOneKeyMore) {
  // 's', then 15 pairs: 31 bytes. A new pair needs two places: 's' and the
  // whole first pair go, leaving 30 bytes.
  KeyQueue queue;
  push(queue, {'s'});
  for (std::uint8_t i = 0; i < 15; ++i) push(queue, {0, static_cast<std::uint8_t>(100 + i)});
  ASSERT_EQ(queue.size(), 31u);
  push(queue, {0, 90});
  std::vector<std::uint8_t> expected = pairs_from(1);
  expected.pop_back();  // no 'x' here
  expected.push_back(0);
  expected.push_back(90);
  EXPECT_EQ(drain(queue), expected);
}

TEST(KeyQueue, SecondByteLeftOfATakenPairGoesAlone) {
  KeyQueue queue;
  fill_with_pairs(queue);
  ASSERT_EQ(queue.pop(), 0);  // first byte of pair 0; its 100 stays
  push(queue, {'y'});          // fits: 31 bytes
  ASSERT_EQ(queue.size(), 31u);
  push(queue, {'z'});  // pushes out the lone 100 only, not pair 1 with it
  EXPECT_EQ(drain(queue), concat(pairs_from(1), {'y', 'z'}));
}

TEST(KeyQueue, ClearEmptiesIt) {
  KeyQueue queue;
  fill_with_pairs(queue);
  queue.clear();
  EXPECT_EQ(queue.size(), 0u);
  push(queue, {'q'});
  EXPECT_EQ(drain(queue), std::vector<std::uint8_t>{'q'});
}

TEST(KeyQueue, PopForGivesUpWhenNothingArrives) {
  KeyQueue queue;
  EXPECT_FALSE(queue.pop_for(20).has_value());
}

TEST(KeyQueue, BlockingPopReturnsABytePushedByAnotherThread) {
  KeyQueue queue;
  std::thread window([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    push(queue, {'k'});
  });
  EXPECT_EQ(queue.pop(), 'k');
  window.join();
}

TEST(KeyQueue, BytesFromAnotherThreadArriveInOrder) {
  KeyQueue queue;
  constexpr int keys = 20;  // fewer than fit, so none is pushed out
  std::thread window([&] {
    for (int i = 0; i < keys; ++i) {
      if (i % 2) push(queue, {0, static_cast<std::uint8_t>(i)});
      else push(queue, {static_cast<std::uint8_t>(i)});
      std::this_thread::yield();
    }
  });
  std::vector<std::uint8_t> received;
  for (int i = 0; i < keys; ++i) {
    if (i % 2) {
      EXPECT_EQ(queue.pop(), 0) << "key " << i;
    }
    received.push_back(queue.pop());
  }
  window.join();
  for (int i = 0; i < keys; ++i) EXPECT_EQ(received[i], i);
  EXPECT_EQ(queue.size(), 0u);
}

}  // namespace
