#include "common/deadline.h"

#include <gtest/gtest.h>

#include <limits>

namespace kelmon {
namespace {

using namespace std::chrono_literals;

TEST(Timeout, ZeroOrNoneMeansUnbounded) {
  EXPECT_FALSE(timeout_from_ms(std::nullopt).has_value());
  EXPECT_FALSE(timeout_from_ms(0).has_value());
  EXPECT_EQ(timeout_from_ms(250), Clock::duration(250ms));
}

TEST(Timeout, HugeMillisecondsSaturateInsteadOfOverflowing) {
  auto t = timeout_from_ms(std::numeric_limits<std::uint64_t>::max());
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(*t, Clock::duration::max());
  auto d = deadline_after(Clock::now(), t);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(*d, Instant::max());
  EXPECT_FALSE(expired(d));
}

TEST(Deadline, EarlierTreatsNoneAsLatest) {
  Instant now = Clock::now();
  Deadline a = now + 1s, b = now + 2s;
  EXPECT_EQ(earlier(a, b), a);
  EXPECT_EQ(earlier(b, a), a);
  EXPECT_EQ(earlier(std::nullopt, b), b);
  EXPECT_EQ(earlier(a, std::nullopt), a);
  EXPECT_FALSE(earlier(std::nullopt, std::nullopt).has_value());
}

TEST(Deadline, TestDeadlineIsTheEarlierOfRequestAndOwnTimeout) {
  Instant before = Clock::now();
  Deadline far = before + 1h;
  Deadline d = test_deadline(far, Clock::duration(10ms));
  ASSERT_TRUE(d.has_value());
  EXPECT_LT(*d, *far);
  EXPECT_GE(*d, before + 10ms);
  Deadline near = before + 1ms;
  EXPECT_EQ(test_deadline(near, Clock::duration(1h)), near);
  EXPECT_EQ(test_deadline(std::nullopt, std::nullopt), std::nullopt);
}

TEST(Deadline, ExpiredAtAndAfterTheInstant) {
  Instant now = Clock::now();
  EXPECT_TRUE(expired(now, now));
  EXPECT_FALSE(expired(now + 1ms, now));
  EXPECT_FALSE(expired(std::nullopt, now));
}

TEST(Elapsed, BackwardsClockGivesZero) {
  Instant now = Clock::now();
  EXPECT_EQ(elapsed_ms(now, now - 5ms), 0u);
  EXPECT_EQ(elapsed_ms(now, now + 1500us), 1u);
  EXPECT_EQ(elapsed_us(now, now + 1500us), 1500u);
}

}  // namespace
}  // namespace kelmon
