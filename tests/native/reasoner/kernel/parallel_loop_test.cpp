#include "reasoner/kernel/parallel_loop.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <chrono>

#include "common/invariant.h"
#include "common/scoped_switch.h"
#include "reasoner/kernel/big_stack_thread.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::ScopedSwitch;

TEST(FirstErrorSlotTest, KeepsTheFirstOfferedErrorOnly) {
  FirstErrorSlot slot;
  EXPECT_EQ(record_first_error(slot, Result<int>(7)), std::optional<int>(7));
  EXPECT_EQ(record_first_error(slot, Result<int>(std::unexpected(UnknownClass{"first"}))), std::nullopt);
  EXPECT_EQ(record_first_error(slot, Result<int>(std::unexpected(UnknownClass{"second"}))), std::nullopt);
  EXPECT_EQ(slot.take(), std::optional<ReasonerError>(UnknownClass{"first"}));
  EXPECT_EQ(slot.take(), std::nullopt);
}

TEST(ParallelFirstError, TwoFailuresAmongTenThousandGiveOneErrorAndNothingAfterTheStop) {
  constexpr std::size_t kItems = 10'000;
  struct Done {
    std::size_t item;
    bool flag_was_set;  // seen at the end of the item's work
  };
  StopFlag stop;
  std::mutex kept_mutex;
  std::vector<Done> kept;
  std::atomic<std::size_t> finished_after_flag{0};
  auto error = parallel_first_error(
      kItems, stop,
      [&](std::size_t i) -> Result<Done> {
        if (i == 2'500 || i == 7'500) return std::unexpected(UnknownClass{std::to_string(i)});
        if (i % 97 == 0) {
          // Some items outlast the failure, so that values do finish after the flag.
          auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
          while (!stop.is_set() && std::chrono::steady_clock::now() < until) std::this_thread::yield();
        }
        bool set = stop.is_set();
        if (set) finished_after_flag.fetch_add(1);
        return Done{i, set};
      },
      [&](std::size_t, Done d) {
        std::lock_guard lock(kept_mutex);
        kept.push_back(d);
      });
  ASSERT_TRUE(error.has_value());
  ASSERT_TRUE(std::holds_alternative<UnknownClass>(*error));
  const std::string& which = std::get<UnknownClass>(*error).iri;
  EXPECT_TRUE(which == "2500" || which == "7500") << which;
  EXPECT_TRUE(stop.is_set());
  EXPECT_LT(kept.size(), kItems - 2);
  for (const Done& d : kept) EXPECT_FALSE(d.flag_was_set) << "item " << d.item << " finished after the stop";
}

TEST(ParallelMap, ValuesComeBackInIndexOrder) {
  auto out = parallel_map<std::size_t>(5'000, [](std::size_t i) -> Result<std::size_t> { return i * 3; });
  ASSERT_TRUE(out.has_value());
  ASSERT_EQ(out->size(), 5'000u);
  for (std::size_t i = 0; i < out->size(); ++i) ASSERT_EQ((*out)[i], i * 3);
}

TEST(ParallelMap, EmptyLoopGivesEmptyList) {
  auto out = parallel_map<int>(0, [](std::size_t) -> Result<int> { return 1; });
  ASSERT_TRUE(out.has_value());
  EXPECT_TRUE(out->empty());
}

TEST(ParallelItems, InvariantFailureOnAWorkerReachesTheCallerAndStopsTheLoop) {
  std::atomic<std::size_t> after{0};
  StopFlag stop;
  try {
    parallel_items(10'000, stop, [&](std::size_t i) {
      if (i == 10) invariant_failure("broken on a worker");
      if (stop.is_set()) after.fetch_add(1);
      return true;
    });
    FAIL() << "the failure was lost";
  } catch (const InvariantFailure& e) {
    EXPECT_EQ(e.message(), "broken on a worker");
  }
  EXPECT_TRUE(stop.is_set());
}

// A long item must not hold back the items after it while other workers are
// free: item 0 waits until every other item has run, which only ends when
// the rest are handed to the other workers rather than queued behind it.
TEST(ParallelItems, ItemsBehindALongItemGoToTheOtherWorkers) {
  if (global_pool().max_concurrency() < 2) GTEST_SKIP() << "needs two workers";
  constexpr std::size_t kItems = 2'000;
  std::atomic<std::size_t> done{0};
  bool all_others_ran = false;
  StopFlag stop;
  parallel_items(kItems, stop, [&](std::size_t i) {
    if (i != 0) {
      done.fetch_add(1);
      return true;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (done.load() < kItems - 1 && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    all_others_ran = done.load() == kItems - 1;
    return true;
  });
  EXPECT_TRUE(all_others_ran);
  EXPECT_EQ(done.load(), kItems - 1);
}

std::size_t current_stack_size() {
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
  std::size_t size = 0;
  pthread_attr_getstacksize(&attr, &size);
  pthread_attr_destroy(&attr);
  return size;
}

struct StackCase {
  const char* name;
  std::optional<std::string> value;
  std::size_t mib;
};

class WorkerStackSwitch : public ::testing::TestWithParam<StackCase> {};

TEST_P(WorkerStackSwitch, ReadsMebibytesWithDefault32) {
  ScopedSwitch g(SwitchId::WorkerStackMb, GetParam().value);
  EXPECT_EQ(configured_worker_stack_bytes(), GetParam().mib << 20);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkerStackSwitch,
    ::testing::Values(StackCase{"unset", std::nullopt, 32}, StackCase{"zero", "0", 32}, StackCase{"empty", "", 32},
                      StackCase{"minus_one", "-1", 32}, StackCase{"letters", "abc", 32},
                      StackCase{"lone_plus", "+", 32}, StackCase{"plus_64", "+64", 64}, StackCase{"eight", "8", 8},
                      StackCase{"overflow", "99999999999999999999", 32},
                      StackCase{"too_many_mib", "18446744073709551615", 32}),
    [](const auto& info) { return std::string(info.param.name); });

// Each pool test runs in a fresh process: the pool exists once per process.
class WorkerPoolProcess : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// The smallest stack any worker of the pool ran an item with.
std::size_t smallest_worker_stack() {
  std::atomic<std::size_t> smallest{std::numeric_limits<std::size_t>::max()};
  const auto caller = pthread_self();
  StopFlag stop;
  // Items that take a while, so that the workers join in.
  parallel_items(400, stop, [&](std::size_t) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (pthread_equal(pthread_self(), caller)) return true;
    std::size_t s = current_stack_size();
    std::size_t cur = smallest.load();
    while (s < cur && !smallest.compare_exchange_weak(cur, s)) {
    }
    return true;
  });
  return smallest.load();
}

TEST_F(WorkerPoolProcess, ConfiguredStackSizeReachesTheWorkers) {
  EXPECT_EXIT(
      {
        ::setenv("KELMON_WORKER_STACK_MB", "+64", 1);
        init_global_pool();
        bool ok = global_pool_stack_bytes() == (std::size_t{64} << 20);
        std::size_t smallest = smallest_worker_stack();
        ok = ok && smallest != std::numeric_limits<std::size_t>::max() && smallest >= (std::size_t{64} << 20);
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(WorkerPoolProcess, PoolCreatedBeforeConfigurationKeepsItsStackSize) {
  EXPECT_EXIT(
      {
        StopFlag stop;
        parallel_items(10, stop, [](std::size_t) { return true; });
        ::setenv("KELMON_WORKER_STACK_MB", "64", 1);
        init_global_pool();
        init_global_pool();
        std::exit(global_pool_stack_bytes() == kDefaultWorkerStackBytes ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// Uses about 40 MB of stack: more than a default thread has.
std::uint64_t deep(std::uint64_t n) {
  volatile char frame[4096];
  frame[0] = static_cast<char>(n);
  if (n == 0) return frame[0];
  return deep(n - 1) + static_cast<std::uint64_t>(frame[0] != 0);
}

TEST(BigStackThread, DeepRecursionRunsOnTheLargeStack) {
  std::uint64_t out = 0;
  std::size_t seen = 0;
  run_with_stack(std::size_t{1} << 30, "spawn test thread", [&] {
    seen = current_stack_size();
    out = deep(10'000);
  });
  EXPECT_GE(seen, std::size_t{1} << 30);
  EXPECT_GT(out, 0u);
}

TEST(BigStackThread, ExceptionIsRethrownOnTheCaller) {
  try {
    run_with_stack(std::size_t{1} << 20, "spawn test thread", [] { invariant_failure("failed on the thread"); });
    FAIL() << "the failure was lost";
  } catch (const InvariantFailure& e) {
    EXPECT_EQ(e.message(), "failed on the thread");
  }
}

TEST(BigStackThread, ThreadThatCannotStartIsTheGivenInvariantFailure) {
  try {
    run_with_stack(std::numeric_limits<std::size_t>::max() / 2, "spawn test thread", [] {});
    FAIL() << "no thread can have that stack";
  } catch (const InvariantFailure& e) {
    EXPECT_EQ(e.message(), "spawn test thread");
  }
}

}  // namespace
}  // namespace kelmon::reasoner
