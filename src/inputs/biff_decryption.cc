#include "inputs/biff_decryption.h"

#include <nettle/arcfour.h>
#include <nettle/md5.h>
#include <nettle/sha1.h>

#include <algorithm>
#include <array>

#include "inputs/biff_format.h"
#include "support/byte_reader.h"

namespace orvano {
namespace {

using std::size_t;
using std::uint16_t;
using std::uint32_t;
using std::uint8_t;
using Bytes = std::vector<uint8_t>;

Bytes Copy(std::span<const std::byte> bytes) {
  Bytes out(bytes.size());
  std::transform(bytes.begin(), bytes.end(), out.begin(),
                 [](std::byte b) { return static_cast<uint8_t>(b); });
  return out;
}

void AppendUtf16Le(Bytes& out, std::u16string_view text) {
  for (char16_t unit : text) {
    out.push_back(static_cast<uint8_t>(unit & 0xFF));
    out.push_back(static_cast<uint8_t>(unit >> 8));
  }
}

void AppendU32(Bytes& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

Bytes Md5(const Bytes& data) {
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, data.size(), data.data());
  Bytes digest(MD5_DIGEST_SIZE);
  md5_digest(&ctx, digest.size(), digest.data());
  return digest;
}

Bytes Sha1(const Bytes& data) {
  sha1_ctx ctx;
  sha1_init(&ctx);
  sha1_update(&ctx, data.size(), data.data());
  Bytes digest(SHA1_DIGEST_SIZE);
  sha1_digest(&ctx, digest.size(), digest.data());
  return digest;
}

// What a FILEPASS record of type RC4 says, whichever its version.
struct Rc4Header {
  bool crypto_api = false;
  size_t key_bits = 128;
  Bytes salt;
  Bytes verifier;       // encrypted
  Bytes verifier_hash;  // encrypted
};

// The header after the encryption type; nullopt for versions and choices this reader does not
// decrypt.
std::optional<Rc4Header> ReadRc4Header(ByteReader& r) {
  Rc4Header header;
  const uint16_t major = r.U16();
  const uint16_t minor = r.U16();
  if (major == biff::kRc4VersionMajor && minor == biff::kRc4VersionMinor) {
    header.salt = Copy(r.Bytes(biff::kSaltSize));
    header.verifier = Copy(r.Bytes(biff::kVerifierSize));
    header.verifier_hash = Copy(r.Bytes(biff::kMd5Size));
    return header;
  }
  if (major < biff::kCryptoApiLowestMajor || major > biff::kCryptoApiHighestMajor ||
      minor != biff::kCryptoApiVersionMinor) {
    return std::nullopt;
  }
  header.crypto_api = true;
  r.U32();  // a copy of the header's flags
  const uint32_t header_size = r.U32();
  ByteReader fields = r.Sub(header_size);
  fields.U32();  // flags
  fields.U32();  // extra size
  const uint32_t cipher = fields.U32();
  const uint32_t hash = fields.U32();
  uint32_t key_bits = fields.U32();
  // The provider type, the reserved fields and the provider name do not change the cipher.
  fields.Skip(biff::kCryptoApiHeaderFixedSize - 5 * 4);
  if (key_bits == 0) key_bits = biff::kDefaultKeyBits;
  if (cipher != biff::kCipherRc4 || (hash != biff::kHashSha1 && hash != 0) ||
      key_bits < biff::kDefaultKeyBits || key_bits > biff::kMaxKeyBits || key_bits % 8 != 0) {
    return std::nullopt;
  }
  header.key_bits = key_bits;
  const uint32_t salt_size = r.U32();
  if (salt_size != biff::kSaltSize) return std::nullopt;
  header.salt = Copy(r.Bytes(biff::kSaltSize));
  header.verifier = Copy(r.Bytes(biff::kVerifierSize));
  const uint32_t hash_size = r.U32();
  if (hash_size != biff::kSha1Size) return std::nullopt;
  header.verifier_hash = Copy(r.Bytes(biff::kSha1Size));
  return header;
}

class Rc4 {
 public:
  explicit Rc4(const Bytes& key) { arcfour_set_key(&ctx_, key.size(), key.data()); }
  void Crypt(std::span<uint8_t> bytes) {
    arcfour_crypt(&ctx_, bytes.size(), bytes.data(), bytes.data());
  }

 private:
  arcfour_ctx ctx_;
};

}  // namespace

std::optional<BiffDecryptor> BiffDecryptor::Open(std::span<const std::byte> filepass,
                                                 std::u16string_view password) {
  ByteReader r(filepass);
  if (r.U16() != biff::kEncryptionRc4) return std::nullopt;  // XOR obfuscation
  const std::optional<Rc4Header> header = ReadRc4Header(r);
  if (!header) return std::nullopt;

  Bytes password_bytes;
  AppendUtf16Le(password_bytes, password);
  std::optional<BiffDecryptor> decryptor;
  if (header->crypto_api) {
    Bytes salted = header->salt;
    salted.insert(salted.end(), password_bytes.begin(), password_bytes.end());
    decryptor = BiffDecryptor(Hash::kSha1, Sha1(salted), header->key_bits / 8);
  } else {
    // The first 5 bytes of the password's hash, followed by the salt, 16 times over.
    const Bytes hashed = Md5(password_bytes);
    Bytes repeated;
    for (int i = 0; i < 16; ++i) {
      repeated.insert(repeated.end(), hashed.begin(), hashed.begin() + 5);
      repeated.insert(repeated.end(), header->salt.begin(), header->salt.end());
    }
    Bytes base = Md5(repeated);
    base.resize(5);
    decryptor = BiffDecryptor(Hash::kMd5, std::move(base), biff::kRc4KeySize);
  }

  // The verifier and its hash are encrypted one after the other with the key of block 0.
  Rc4 rc4(decryptor->BlockKey(0));
  Bytes verifier = header->verifier;
  Bytes verifier_hash = header->verifier_hash;
  rc4.Crypt(verifier);
  rc4.Crypt(verifier_hash);
  const Bytes expected = header->crypto_api ? Sha1(verifier) : Md5(verifier);
  if (expected != verifier_hash) return std::nullopt;
  return decryptor;
}

std::vector<uint8_t> BiffDecryptor::BlockKey(uint32_t block) const {
  Bytes data = base_;
  AppendU32(data, block);
  Bytes key = hash_ == Hash::kSha1 ? Sha1(data) : Md5(data);
  key.resize(key_size_);
  // A 40-bit key is used as a 128-bit one whose other bits are zero.
  if (key.size() * 8 == biff::kDefaultKeyBits) key.resize(biff::kRc4KeySize, 0);
  return key;
}

void BiffDecryptor::DecryptRecords(std::span<std::byte> stream, size_t from) const {
  // The key stream of the block being decrypted; records come in stream order, so each block's
  // key stream is made once.
  std::array<uint8_t, biff::kEncryptionBlockSize> key_stream{};
  std::optional<size_t> block_made;
  const auto decrypt = [&](size_t offset, size_t length) {
    for (size_t i = offset; i < offset + length; ++i) {
      const size_t block = i / biff::kEncryptionBlockSize;
      if (block != block_made) {
        key_stream.fill(0);
        Rc4(BlockKey(static_cast<uint32_t>(block))).Crypt(key_stream);
        block_made = block;
      }
      stream[i] ^= std::byte{key_stream[i % biff::kEncryptionBlockSize]};
    }
  };

  ByteReader r(stream);
  r.Skip(std::min(from, stream.size()));
  while (r.remaining() >= biff::kRecordHeaderSize) {
    const uint16_t id = r.U16();
    const uint16_t length = r.U16();
    if (length > r.remaining()) return;
    const size_t start = r.offset();
    r.Skip(length);
    size_t clear = 0;
    if (std::find(std::begin(biff::kClearRecords), std::end(biff::kClearRecords), id) !=
        std::end(biff::kClearRecords)) {
      clear = length;
    } else if (id == biff::kBoundSheet) {
      clear = std::min<size_t>(length, biff::kBoundSheetClearSize);
    }
    decrypt(start + clear, length - clear);
  }
}

}  // namespace orvano
