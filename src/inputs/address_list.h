// AddressList: the address indices of one depth of the texts, in their order, kept one after
// the other in one buffer. A large project has some hundred thousand of them; as a list they
// cost two allocations instead of two each, and a look-up reads them from one place.

#ifndef ORVANO_INPUTS_ADDRESS_LIST_H_
#define ORVANO_INPUTS_ADDRESS_LIST_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvano {

class AddressList {
 public:
  /// Makes room for `count` addresses of `bytes` bytes together.
  void Reserve(std::size_t count, std::size_t bytes) {
    ends_.reserve(count);
    text_.reserve(bytes);
  }
  void Add(std::string_view address) {
    text_.append(address);
    ends_.push_back(text_.size());
  }

  std::size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.empty(); }
  /// The address at `index` (< size()).
  std::string_view operator[](std::size_t index) const {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
  }

  /// The first index of `address` found by bisection, the list being in code-unit order
  /// (CompareCodeUnits); nullopt when it is not there.
  std::optional<std::size_t> FindInOrder(std::string_view address) const;

 private:
  std::string text_;
  std::vector<std::size_t> ends_;  // where each address ends in text_
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_ADDRESS_LIST_H_
