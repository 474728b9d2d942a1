#include "templates/page_text.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "support/text_codec.h"

namespace orvano {

namespace {

// Most pages are larger: start with room for a few thousand lines.
constexpr std::size_t kFirstRoom = 256 * 1024;
// A buffer grown beyond this by an unusual page is let go.
constexpr std::size_t kKeptRoom = 16 * 1024 * 1024;

// The buffer of the page last built on this thread, kept for the next one: a fresh buffer for
// every page is memory that the allocator may hand back to the kernel in between, and the
// kernel then clears and maps it again for the next page.
thread_local std::string spare_text;

// The bytes of pages written and handed back, for the bytes of the next pages. Pages are built
// on several threads and written on another, so these are shared.
class SpareBytes {
 public:
  std::string Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (spare_.empty()) return {};
    std::string bytes = std::move(spare_.back());
    spare_.pop_back();
    return bytes;
  }
  void Give(std::string bytes) {
    if (bytes.capacity() > kKeptRoom) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (spare_.size() < kKeptBuffers) spare_.push_back(std::move(bytes));
  }

 private:
  // About as many as pages are built ahead of their writing.
  static constexpr std::size_t kKeptBuffers = 8;
  std::mutex mutex_;
  std::vector<std::string> spare_;
};

SpareBytes& Spares() {
  static SpareBytes spares;
  return spares;
}

}  // namespace

PageText::PageText() {
  text_.swap(spare_text);
  text_.clear();
  text_.reserve(kFirstRoom);
}

PageText::~PageText() {
  if (text_.capacity() <= kKeptRoom) text_.swap(spare_text);
}

std::string PageText::Bytes() const {
  // Every UTF-8 byte gives at most two bytes. A buffer handed back keeps its size (its old bytes
  // are overwritten): only what this page needs beyond it is cleared when it grows.
  std::string bytes = Spares().Take();
  const std::size_t room = 2 + 2 * text_.size();
  if (bytes.size() < room) bytes.resize(room);
  std::memcpy(bytes.data(), "\xFF\xFE", 2);
  bytes.resize(
      static_cast<std::size_t>(WriteUtf8AsUtf16Le(text_, bytes.data() + 2) - bytes.data()));
  return bytes;
}

void RecyclePageBytes(std::string bytes) { Spares().Give(std::move(bytes)); }

}  // namespace orvano
