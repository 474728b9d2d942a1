#include "xls_writer/biff_encryption.h"

#include <nettle/arcfour.h>
#include <nettle/md5.h>
#include <nettle/sha1.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "inputs/biff_format.h"
#include "xls_writer/biff_stream.h"
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

// Fixed, so that a workbook always gives the same bytes.
constexpr std::string_view kSalt = "orvano fixture!!";
constexpr std::string_view kVerifier = "verifier of keys";
static_assert(kSalt.size() == biff::kSaltSize && kVerifier.size() == biff::kVerifierSize);

void PutU16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}
unsigned GetU16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8;
}

const std::uint8_t* Data(std::string_view bytes) {
  return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

std::string Md5(std::string_view data) {
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, data.size(), Data(data));
  std::string digest(MD5_DIGEST_SIZE, '\0');
  md5_digest(&ctx, digest.size(), reinterpret_cast<std::uint8_t*>(digest.data()));
  return digest;
}

std::string Sha1(std::string_view data) {
  sha1_ctx ctx;
  sha1_init(&ctx);
  sha1_update(&ctx, data.size(), Data(data));
  std::string digest(SHA1_DIGEST_SIZE, '\0');
  sha1_digest(&ctx, digest.size(), reinterpret_cast<std::uint8_t*>(digest.data()));
  return digest;
}

std::string PasswordBytes(const XlsWriteOptions& options) {
  std::string bytes;
  for (char16_t unit : ToUtf16Units(options.password)) PutU16(bytes, unit);
  return bytes;
}

// The RC4 key of the 1024-byte block `block` of the stream.
std::string BlockKey(const XlsWriteOptions& options, std::uint32_t block) {
  std::string block_bytes;
  PutU32(block_bytes, block);
  if (options.encryption == XlsEncryption::kRc4) {
    const std::string truncated = Md5(PasswordBytes(options)).substr(0, 5);
    std::string repeated;
    for (int i = 0; i < 16; ++i) repeated += truncated + std::string(kSalt);
    return Md5(Md5(repeated).substr(0, 5) + block_bytes);
  }
  std::string key = Sha1(Sha1(std::string(kSalt) + PasswordBytes(options)) + block_bytes)
                        .substr(0, options.key_bits / 8);
  if (options.key_bits == 40) key.resize(16, '\0');
  return key;
}

class Rc4 {
 public:
  explicit Rc4(const std::string& key) { arcfour_set_key(&ctx_, key.size(), Data(key)); }
  void Crypt(char* bytes, std::size_t n) {
    auto* data = reinterpret_cast<std::uint8_t*>(bytes);
    arcfour_crypt(&ctx_, n, data, data);
  }

 private:
  arcfour_ctx ctx_;
};

// Encrypts stream[begin, end): each byte with the key stream of its block at its place there.
void EncryptRange(std::string& stream, std::size_t begin, std::size_t end,
                  const XlsWriteOptions& options) {
  while (begin < end) {
    const std::size_t block = begin / biff::kEncryptionBlockSize;
    const std::size_t block_end = (block + 1) * biff::kEncryptionBlockSize;
    const std::size_t stop = std::min(end, block_end);
    Rc4 rc4(BlockKey(options, static_cast<std::uint32_t>(block)));
    std::string skipped(begin - block * biff::kEncryptionBlockSize, '\0');
    rc4.Crypt(skipped.data(), skipped.size());
    rc4.Crypt(&stream[begin], stop - begin);
    begin = stop;
  }
}

}  // namespace

std::string FilePassData(const XlsWriteOptions& options) {
  std::string verifier(kVerifier);
  std::string data;
  PutU16(data, biff::kEncryptionRc4);
  if (options.encryption == XlsEncryption::kRc4) {
    std::string hash = Md5(verifier);
    Rc4 rc4(BlockKey(options, 0));
    rc4.Crypt(verifier.data(), verifier.size());
    rc4.Crypt(hash.data(), hash.size());
    PutU16(data, biff::kRc4VersionMajor);
    PutU16(data, biff::kRc4VersionMinor);
    return data + std::string(kSalt) + verifier + hash;
  }
  std::string hash = Sha1(verifier);
  Rc4 rc4(BlockKey(options, 0));
  rc4.Crypt(verifier.data(), verifier.size());
  rc4.Crypt(hash.data(), hash.size());
  std::string header;
  PutU32(header, biff::kCryptoApiFlag);
  PutU32(header, 0);  // extra size
  PutU32(header, biff::kCipherRc4);
  PutU32(header, biff::kHashSha1);
  PutU32(header, static_cast<std::uint32_t>(options.key_bits));
  PutU32(header, biff::kProviderRsaFull);
  PutU32(header, 0);
  PutU32(header, 0);
  PutU16(header, 0);  // the provider's name: none, just its terminating NUL
  PutU16(data, biff::kCryptoApiHighestMajor);
  PutU16(data, biff::kCryptoApiVersionMinor);
  PutU32(data, biff::kCryptoApiFlag);
  PutU32(data, static_cast<std::uint32_t>(header.size()));
  data += header;
  PutU32(data, biff::kSaltSize);
  data += std::string(kSalt) + verifier;
  PutU32(data, biff::kSha1Size);
  return data + hash;
}

void EncryptRecords(std::string& stream, std::size_t from, const XlsWriteOptions& options) {
  for (std::size_t at = from; at + biff::kRecordHeaderSize <= stream.size();) {
    const unsigned id = GetU16(stream, at);
    const std::size_t begin = at + biff::kRecordHeaderSize;
    const std::size_t end = begin + GetU16(stream, at + 2);
    if (id == biff::kBoundSheet) {
      EncryptRange(stream, begin + biff::kBoundSheetClearSize, end, options);
    } else if (id != biff::kBof) {
      EncryptRange(stream, begin, end, options);
    }
    at = end;
  }
}

}  // namespace orvano
