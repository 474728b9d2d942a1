#include "generation/sequence_diff.h"

#include <gtest/gtest.h>

#include <random>

namespace orvano {
namespace {

using Items = std::vector<std::uint32_t>;

// The length of a longest common subsequence, by the textbook table.
std::size_t LongestCommonLength(const Items& a, const Items& b) {
  std::vector<std::vector<std::size_t>> table(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = a.size(); i-- > 0;) {
    for (std::size_t j = b.size(); j-- > 0;) {
      table[i][j] =
          a[i] == b[j] ? table[i + 1][j + 1] + 1 : std::max(table[i + 1][j], table[i][j + 1]);
    }
  }
  return table[0][0];
}

// Checks that `runs` is a valid script for `a` -> `b` and returns how many elements it keeps.
std::size_t CheckRuns(const Items& a, const Items& b, const std::vector<CommonRun>& runs) {
  std::size_t old_end = 0, new_end = 0, kept = 0;
  for (const CommonRun& run : runs) {
    EXPECT_GT(run.length, 0U);
    EXPECT_GE(run.old_start, old_end);
    EXPECT_GE(run.new_start, new_end);
    // Adjacent runs are merged into one.
    EXPECT_FALSE(kept > 0 && run.old_start == old_end && run.new_start == new_end);
    EXPECT_LE(run.old_start + run.length, a.size());
    EXPECT_LE(run.new_start + run.length, b.size());
    for (std::size_t i = 0;
         i < run.length && run.old_start + i < a.size() && run.new_start + i < b.size(); ++i) {
      EXPECT_EQ(a[run.old_start + i], b[run.new_start + i]);
    }
    old_end = run.old_start + run.length;
    new_end = run.new_start + run.length;
    kept += run.length;
  }
  return kept;
}

// Short random sequences over few values: empty, equal, disjoint and reversed ones among them.
TEST(SequenceDiffTest, KeepsALongestCommonSubsequence) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::uniform_int_distribution<std::size_t> size(0, 14);
    std::uniform_int_distribution<std::uint32_t> element(0, round % 2 == 0 ? 2 : 6);
    Items a(size(random)), b(size(random));
    for (auto& x : a) x = element(random);
    for (auto& x : b) x = element(random);
    const std::vector<CommonRun> runs = MatchSequences(a, b);
    ASSERT_EQ(LongestCommonLength(a, b), CheckRuns(a, b, runs)) << "round " << round;
  }
}

// 200 000 rows of which one changed in the middle and one was added near the end: the common
// beginning and end are lined up without search and the rows between the two edits are
// walked about once, so a limit below the number of rows still gives the shortest script.
TEST(SequenceDiffTest, LongEqualBeginningAndEndCostNoSearch) {
  Items a(200'000);
  for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<std::uint32_t>(i);
  Items b = a;
  b[100'000] = 999'999'999;
  b.insert(b.begin() + 150'000, 888'888'888);
  const std::vector<CommonRun> runs = MatchSequences(a, b, 120'000);
  EXPECT_EQ((std::vector<CommonRun>{
                {0, 0, 100'000}, {100'001, 100'001, 49'999}, {150'000, 150'001, 50'000}}),
            runs);
}

TEST(SequenceDiffTest, ManyScatteredChangesInLongSequencesStayShortest) {
  Items a(200'000);
  for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<std::uint32_t>(i);
  Items b = a;
  for (std::size_t i = 500; i < b.size(); i += 1000) b[i] = 300'000;  // 200 changed
  EXPECT_EQ(a.size() - 200, CheckRuns(a, b, MatchSequences(a, b)));
}

TEST(SequenceDiffTest, WorkLimitGivesAValidLongerScript) {
  Items a{9, 1, 2, 3, 4, 5, 8}, b{9, 7, 1, 2, 3, 4, 5, 6, 8};
  EXPECT_EQ(7U, CheckRuns(a, b, MatchSequences(a, b)));
  // No search at all: only the common beginning and end are kept.
  EXPECT_EQ((std::vector<CommonRun>{{0, 0, 1}, {6, 8, 1}}), MatchSequences(a, b, 0));
  // Long sequences sharing nothing end within the limit.
  Items c(300'000, 1), d(300'000, 2);
  EXPECT_TRUE(MatchSequences(c, d, 1'000'000).empty());
}

}  // namespace
}  // namespace orvano
