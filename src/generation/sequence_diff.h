// The shortest edit script between two sequences of numbers (each number standing for one
// distinct element, such as a row), as the runs of elements it keeps. Used to line up the rows
// of two releases of a page.

#ifndef ORVANO_GENERATION_SEQUENCE_DIFF_H_
#define ORVANO_GENERATION_SEQUENCE_DIFF_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvano {

/// `length` equal elements from `old_start` of the old sequence and `new_start` of the new one.
struct CommonRun {
  std::size_t old_start = 0;
  std::size_t new_start = 0;
  std::size_t length = 0;
  bool operator==(const CommonRun&) const = default;
};

/// The work (diagonals tried and elements compared) after which MatchSequences stops looking
/// for a shortest script; about a second at most.
inline constexpr std::size_t kDefaultDiffWorkLimit = 200'000'000;

/// The runs of equal elements that a shortest edit script from `old_items` to `new_items`
/// keeps, in order, increasing in both sequences, adjacent runs merged. Every element outside
/// them is removed (old) or added (new). Time O((N+M)D) and memory O(N+M) for N and M elements
/// and D edits; a common beginning and end cost only their length. When the search needs more
/// than `work_limit` steps, the parts not yet lined up are given as removed and added whole:
/// the script is then valid but not the shortest.
std::vector<CommonRun> MatchSequences(std::span<const std::uint32_t> old_items,
                                      std::span<const std::uint32_t> new_items,
                                      std::size_t work_limit = kDefaultDiffWorkLimit);

}  // namespace orvano

#endif  // ORVANO_GENERATION_SEQUENCE_DIFF_H_
