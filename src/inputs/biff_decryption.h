// Decryption of a BIFF8 workbook stream that a FILEPASS record marks as encrypted with RC4 (MD5
// keys) or RC4 through CryptoAPI (SHA-1 keys): checks a password against the record's verifier
// and decrypts the records after it in place. Used by the .xls reader (biff_reader.h), which
// tries the password applications use when the author set none. See docs/formats/biff8.md.

#ifndef ORVANO_INPUTS_BIFF_DECRYPTION_H_
#define ORVANO_INPUTS_BIFF_DECRYPTION_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace orvano {

/// The password spreadsheet applications encrypt a workbook with when it has no password to
/// open (a workbook protected against changes only); they open such a file without asking.
inline constexpr std::u16string_view kDefaultWorkbookPassword = u"VelvetSweatshop";

/// The key of one encrypted workbook stream. A plain value; copies are independent.
class BiffDecryptor {
 public:
  /// Reads `filepass`, the data of a FILEPASS record, and checks `password` (UTF-16 code units)
  /// against its verifier. Returns nullopt when the password is wrong, and when the method is
  /// one this reader does not decrypt: XOR obfuscation, unknown versions, ciphers, hashes, key
  /// or salt sizes. Throws DataError when `filepass` is too short for the fields of its method.
  static std::optional<BiffDecryptor> Open(std::span<const std::byte> filepass,
                                           std::u16string_view password);

  /// Decrypts in place the data of the records of `stream` (a whole workbook stream) from the
  /// record header at offset `from` to the end of the stream. Record headers, the records kept
  /// in clear (BOF, FILEPASS, INTERFACEHDR and a few more) and the sheet offset of BOUNDSHEET
  /// are left as they are. The walk ends at a record that runs past the end of the stream,
  /// which the caller reports when it gets there.
  void DecryptRecords(std::span<std::byte> stream, std::size_t from) const;

 private:
  enum class Hash { kMd5, kSha1 };
  BiffDecryptor(Hash hash, std::vector<std::uint8_t> base, std::size_t key_size)
      : hash_(hash), base_(std::move(base)), key_size_(key_size) {}

  /// The RC4 key of the 1024-byte block `block` of the stream, padded with zeros.
  std::vector<std::uint8_t> BlockKey(std::uint32_t block) const;

  Hash hash_;
  std::vector<std::uint8_t> base_;  // hashed with the block number into each block's key
  std::size_t key_size_;            // bytes of each block's hash that make the key
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_BIFF_DECRYPTION_H_
