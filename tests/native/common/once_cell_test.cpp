#include "common/once_cell.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace kelmon {
namespace {

TEST(OnceCell, SixtyFourThreadsComputeOnceAndSeeOneValue) {
  OnceCell<std::vector<int>> cell;
  std::atomic<int> computations{0};
  std::atomic<bool> go{false};
  std::vector<const std::vector<int>*> seen(64, nullptr);
  std::vector<std::thread> threads;
  for (int t = 0; t < 64; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      seen[t] = &cell.get_or_init([&] {
        computations.fetch_add(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the others pile up waiting
        return std::vector<int>{1, 2, 3};
      });
    });
  }
  go.store(true);
  for (auto& th : threads) th.join();
  EXPECT_EQ(computations.load(), 1);
  for (const auto* v : seen) {
    ASSERT_EQ(v, seen[0]);
    EXPECT_EQ(*v, (std::vector<int>{1, 2, 3}));
  }
  EXPECT_TRUE(cell.filled());
}

TEST(OnceCell, AFailedComputationLeavesTheCellEmptyForTheNextCall) {
  OnceCell<int> cell;
  EXPECT_THROW(cell.get_or_init([]() -> int { throw std::runtime_error("boom"); }), std::runtime_error);
  EXPECT_FALSE(cell.filled());
  EXPECT_EQ(cell.get_or_init([] { return 7; }), 7);
  EXPECT_EQ(cell.get_or_init([] { return 8; }), 7);
}

}  // namespace
}  // namespace kelmon
