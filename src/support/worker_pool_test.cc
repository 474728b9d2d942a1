#include "support/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace orvano {
namespace {

TEST(WorkerPoolTest, ForEachRunsEveryTaskOnceAlsoFromInsideThePool) {
  WorkerPool pool(2);
  std::vector<std::atomic<int>> runs(200);
  std::atomic<int> nested{0};
  // Every pool thread is busy with an outer task that waits for inner ones: the callers take
  // the inner tasks themselves.
  pool.ForEach(4, [&](std::size_t outer) {
    pool.ForEach(50, [&](std::size_t inner) {
      runs[outer * 50 + inner]++;
      nested++;
    });
  });
  EXPECT_EQ(200, nested.load());
  for (const std::atomic<int>& count : runs) EXPECT_EQ(1, count.load());
  pool.ForEach(0, [](std::size_t) { FAIL(); });
}

}  // namespace
}  // namespace orvano
