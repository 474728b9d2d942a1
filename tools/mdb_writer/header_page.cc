#include "header_page.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "jet/jet4_format.h"
#include "le_bytes.h"

namespace orvano::jet4 {

namespace {

constexpr char kFormatId[] = "Standard Jet DB";  // with its NUL: 16 bytes
constexpr std::uint16_t kCodePageWestern = 1252;

}  // namespace

std::string Rc4(std::uint32_t key, std::string_view data) {
  std::array<std::uint8_t, 4> key_bytes{};
  for (int i = 0; i < 4; ++i) key_bytes[i] = static_cast<std::uint8_t>(key >> (8 * i));
  std::array<std::uint8_t, 256> state{};
  for (int i = 0; i < 256; ++i) state[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (int i = 0; i < 256; ++i) {
    j = static_cast<std::uint8_t>(j + state[i] + key_bytes[i % 4]);
    std::swap(state[i], state[j]);
  }
  std::string out(data);
  std::uint8_t x = 0;
  std::uint8_t y = 0;
  for (char& c : out) {
    x = static_cast<std::uint8_t>(x + 1);
    y = static_cast<std::uint8_t>(y + state[x]);
    std::swap(state[x], state[y]);
    c = static_cast<char>(static_cast<std::uint8_t>(c) ^
                          state[static_cast<std::uint8_t>(state[x] + state[y])]);
  }
  return out;
}

std::string BuildHeaderPage(double creation_date) {
  std::string page(kPageSize, '\0');
  page[1] = 0x01;
  std::memcpy(page.data() + kHeaderFormatIdOffset, kFormatId, sizeof kFormatId);
  page[kHeaderVersionOffset] = static_cast<char>(kVersionJet4);

  PutU16(page, kHeaderCodePageOffset, kCodePageWestern);
  PutU32(page, kHeaderDatabaseKeyOffset, 0);
  // An empty password is stored as the mask itself: the creation date's whole days, repeated.
  const auto mask = static_cast<std::uint32_t>(static_cast<std::int32_t>(creation_date));
  for (std::size_t i = 0; i < kHeaderPasswordLength; i += 4) {
    PutU32(page, kHeaderPasswordOffset + i, mask);
  }
  PutU32(page, kHeaderCollationOffset, kSortOrderGeneral);
  PutLe(page, kHeaderCreationDateOffset, std::bit_cast<std::uint64_t>(creation_date), 8);

  const std::string scrambled = Rc4(
      kHeaderRc4Key, std::string_view(page).substr(kHeaderEncryptedOffset, kHeaderEncryptedLength));
  page.replace(kHeaderEncryptedOffset, kHeaderEncryptedLength, scrambled);
  return page;
}

}  // namespace orvano::jet4
