#include "generation/sequence_diff.h"

#include <algorithm>
#include <optional>

namespace orvano {
namespace {

// Myers' algorithm in linear space: the middle of a shortest path through the edit graph splits
// the problem in two whose edit distances are each at most half of the whole; both halves are
// solved the same way. Our own rather than a packaged diff library because the one in Debian
// searches in O(NP) with no bound on the work, so two long pages that share nothing would keep
// a comparison busy for hours; here a work limit turns that case into "removed and added".
class Matcher {
 public:
  Matcher(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b, std::size_t limit)
      : a_(a), b_(b), work_left_(limit) {
    const std::size_t size = a.size() + b.size() + 4;  // 2 * max_d + 2 of the whole
    forward_.resize(size);
    backward_.resize(size);
  }

  std::vector<CommonRun> Run() {
    Match(0, a_.size(), 0, b_.size());
    return std::move(runs_);
  }

 private:
  struct Point {
    std::ptrdiff_t x;
    std::ptrdiff_t y;
  };

  void Keep(std::size_t old_start, std::size_t new_start, std::size_t length) {
    if (length == 0) return;
    if (!runs_.empty()) {
      CommonRun& last = runs_.back();
      if (last.old_start + last.length == old_start && last.new_start + last.length == new_start) {
        last.length += length;
        return;
      }
    }
    runs_.push_back({old_start, new_start, length});
  }

  // Lines up a_[x0, x1) with b_[y0, y1).
  void Match(std::size_t x0, std::size_t x1, std::size_t y0, std::size_t y1) {
    std::size_t prefix = 0;
    while (x0 + prefix < x1 && y0 + prefix < y1 && a_[x0 + prefix] == b_[y0 + prefix]) ++prefix;
    Keep(x0, y0, prefix);
    x0 += prefix;
    y0 += prefix;
    std::size_t suffix = 0;
    while (x0 < x1 - suffix && y0 < y1 - suffix && a_[x1 - suffix - 1] == b_[y1 - suffix - 1]) {
      ++suffix;
    }
    x1 -= suffix;
    y1 -= suffix;
    if (x0 < x1 && y0 < y1) {
      if (const std::optional<Point> split = MiddleSplit(x0, x1, y0, y1)) {
        const std::size_t xm = x0 + static_cast<std::size_t>(split->x);
        const std::size_t ym = y0 + static_cast<std::size_t>(split->y);
        Match(x0, xm, y0, ym);
        Match(xm, x1, ym, y1);
      }
    }
    Keep(x1, y1, suffix);
  }

  bool Spend() {
    if (work_left_ == 0) return false;
    --work_left_;
    return true;
  }

  // The point, relative to (x0, y0), where a forward path of d edits meets a backward path
  // covering the rest with a shortest script. Requires: both ranges non-empty, their first
  // elements differ and so do their last ones, so that at least two edits are needed and the
  // point lies strictly inside. nullopt when the work limit ran out (or nothing is common).
  std::optional<Point> MiddleSplit(std::size_t x0, std::size_t x1, std::size_t y0, std::size_t y1) {
    const auto n = static_cast<std::ptrdiff_t>(x1 - x0);
    const auto m = static_cast<std::ptrdiff_t>(y1 - y0);
    const std::ptrdiff_t max_d = (n + m + 1) / 2;
    const std::ptrdiff_t offset = max_d;
    const std::ptrdiff_t length = 2 * max_d + 2;
    // forward_[offset + k]: the furthest x reached on diagonal k = x - y from the start;
    // backward_ likewise from the end, counting x and y backwards.
    std::fill_n(forward_.begin(), length, -1);
    std::fill_n(backward_.begin(), length, -1);
    forward_[offset + 1] = 0;
    backward_[offset + 1] = 0;
    const std::ptrdiff_t delta = n - m;
    // With an odd delta the paths meet on a forward step, with an even one on a backward step.
    const bool meets_forward = delta % 2 != 0;
    // Diagonals that ran off the edit graph's right or bottom edge are not tried again.
    std::ptrdiff_t forward_start = 0, forward_end = 0, backward_start = 0, backward_end = 0;
    auto a = [&](std::ptrdiff_t i) { return a_[x0 + static_cast<std::size_t>(i)]; };
    auto b = [&](std::ptrdiff_t j) { return b_[y0 + static_cast<std::size_t>(j)]; };
    for (std::ptrdiff_t d = 0; d < max_d; ++d) {
      for (std::ptrdiff_t k = -d + forward_start; k <= d - forward_end; k += 2) {
        if (!Spend()) return std::nullopt;
        const std::ptrdiff_t at = offset + k;
        std::ptrdiff_t x = (k == -d || (k != d && forward_[at - 1] < forward_[at + 1]))
                               ? forward_[at + 1]
                               : forward_[at - 1] + 1;
        std::ptrdiff_t y = x - k;
        while (x < n && y < m && a(x) == b(y)) {
          if (!Spend()) return std::nullopt;
          ++x;
          ++y;
        }
        forward_[at] = x;
        if (x > n) {
          forward_end += 2;
        } else if (y > m) {
          forward_start += 2;
        } else if (meets_forward) {
          const std::ptrdiff_t other = offset + delta - k;
          if (other >= 0 && other < length && backward_[other] != -1 && x >= n - backward_[other]) {
            return Point{x, y};
          }
        }
      }
      for (std::ptrdiff_t k = -d + backward_start; k <= d - backward_end; k += 2) {
        if (!Spend()) return std::nullopt;
        const std::ptrdiff_t at = offset + k;
        std::ptrdiff_t x = (k == -d || (k != d && backward_[at - 1] < backward_[at + 1]))
                               ? backward_[at + 1]
                               : backward_[at - 1] + 1;
        std::ptrdiff_t y = x - k;
        while (x < n && y < m && a(n - x - 1) == b(m - y - 1)) {
          if (!Spend()) return std::nullopt;
          ++x;
          ++y;
        }
        backward_[at] = x;
        if (x > n) {
          backward_end += 2;
        } else if (y > m) {
          backward_start += 2;
        } else if (!meets_forward) {
          const std::ptrdiff_t other = offset + delta - k;
          if (other >= 0 && other < length && forward_[other] != -1) {
            const std::ptrdiff_t forward_x = forward_[other];
            const std::ptrdiff_t forward_y = offset + forward_x - other;
            if (forward_x >= n - x) return Point{forward_x, forward_y};
          }
        }
      }
    }
    return std::nullopt;
  }

  std::span<const std::uint32_t> a_;
  std::span<const std::uint32_t> b_;
  std::size_t work_left_;
  std::vector<std::ptrdiff_t> forward_;
  std::vector<std::ptrdiff_t> backward_;
  std::vector<CommonRun> runs_;
};

}  // namespace

std::vector<CommonRun> MatchSequences(std::span<const std::uint32_t> old_items,
                                      std::span<const std::uint32_t> new_items,
                                      std::size_t work_limit) {
  return Matcher(old_items, new_items, work_limit).Run();
}

}  // namespace orvano
