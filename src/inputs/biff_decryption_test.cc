#include "inputs/biff_decryption.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "inputs/biff_format.h"
#include "inputs/biff_reader.h"
#include "inputs/parsed_workbook.h"
#include "support/byte_reader.h"
#include "support/errors.h"
#include "testing/test_util.h"
#include "xls_writer/biff_encryption.h"
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

using testing::FindBiffRecord;
using testing::WithLe;

std::string FromHex(std::string_view hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  }
  return bytes;
}

std::optional<BiffDecryptor> Open(const std::string& filepass, std::u16string_view password) {
  return BiffDecryptor::Open(AsBytes(filepass), password);
}

// The start of the workbook stream of a real workbook encrypted with RC4 (MD5 keys) under the
// default password: BOF, FILEPASS, INTERFACEHDR, MMS, WRITEACCESS, CODEPAGE.
constexpr std::string_view kRealStreamHead =
    "09081000000605006632cd07c1800100060600002f0036000100010001002c8556096f59ef018027"
    "8bfcf2b8f918f7bb5c8cc636a2f10bfc896cfe0c7cc4ebefa6b9d5f6d1efac02985a4ced79a2e100"
    "0200b004c10002001ea6e20000005c0070006b7eaaa985b0aa113ec260f138c0ad3c2829a21a7e69"
    "3a11dd180b32c3852461f4d5830e1470031facb4d1c9dbb502e4da01df1336a59016d394e7cc1d6d"
    "2eedd5eff0932370310774503ec3e63dedb520b684c88961c6d8796e08c0d7513189048a1ceb3894"
    "595a77624ea6217bbce742000200aa3b";

TEST(BiffDecryptionTest, DecryptsARealWorkbookUnderTheDefaultPassword) {
  std::string stream = FromHex(kRealStreamHead);
  const std::string filepass = stream.substr(24, 54);
  EXPECT_FALSE(Open(filepass, u"velvetSweatshop"));
  EXPECT_FALSE(Open(filepass, u""));
  const std::optional<BiffDecryptor> decryptor = Open(filepass, kDefaultWorkbookPassword);
  ASSERT_TRUE(decryptor);
  const std::string encrypted = stream;
  decryptor->DecryptRecords(std::as_writable_bytes(std::span(stream)), 78);
  EXPECT_EQ(stream.substr(0, 84), encrypted.substr(0, 84));           // BOF, FILEPASS, INTERFACEHDR
  EXPECT_EQ(stream.substr(84, 10), FromHex("c10002000000e2000000"));  // MMS 0, INTERFACEEND
  // WRITEACCESS: a user name of 15 8-bit characters, padded with spaces to 112 bytes.
  EXPECT_EQ(stream.substr(94, 7), FromHex("5c0070000f0000"));
  const std::string name = stream.substr(101, 15);
  EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalpha(c) || c == ' ';
  })) << name;
  EXPECT_EQ(stream.substr(116, 94), std::string(94, ' '));
  EXPECT_EQ(stream.substr(210), FromHex("42000200b004"));  // CODEPAGE 1200
}

TEST(BiffDecryptionTest, ChecksThePasswordOfAPublishedExample) {
  // The RC4 header of the format's documentation, whose password is "secret".
  const std::string filepass = FromHex(
      "01000100"
      "0100c4dc85699113ec1cf1e529060e4900b3f353bb803663cde3ddf2d1cb10239b5a398feac243ecf44b9a62"
      "291b1a4c9dcd");
  EXPECT_TRUE(Open(filepass, u"secret"));
  EXPECT_FALSE(Open(filepass, u"Secret"));
  EXPECT_FALSE(Open(filepass, kDefaultWorkbookPassword));
}

XlsWriteOptions Encrypted(XlsEncryption method, const std::string& password, int key_bits) {
  XlsWriteOptions options;
  options.encryption = method;
  options.password = password;
  options.key_bits = key_bits;
  return options;
}

TEST(BiffDecryptionTest, OpensOnlyMethodsItDecrypts) {
  const std::string password = "VelvetSweatshop";
  const std::string rc4 = FilePassData(Encrypted(XlsEncryption::kRc4, password, 128));
  ASSERT_TRUE(Open(rc4, kDefaultWorkbookPassword));
  const std::string crypto_api =
      FilePassData(Encrypted(XlsEncryption::kRc4CryptoApi, password, 128));
  ASSERT_TRUE(Open(crypto_api, kDefaultWorkbookPassword));
  // A key size of 0 stands for 40 bits.
  EXPECT_TRUE(
      Open(WithLe(FilePassData(Encrypted(XlsEncryption::kRc4CryptoApi, password, 40)), 30, 0, 4),
           kDefaultWorkbookPassword));
  // The field at `at` of `filepass` set to `value`: no longer a method this reader decrypts.
  const auto refused = [&](const std::string& filepass, std::size_t at, std::uint64_t value,
                           int size) {
    EXPECT_FALSE(Open(WithLe(filepass, at, value, size), kDefaultWorkbookPassword))
        << at << " = " << value;
  };
  refused(rc4, 0, biff::kEncryptionXor, 2);
  refused(rc4, 2, 0x00020001, 4);         // version 1.2
  refused(crypto_api, 2, 0x00020005, 4);  // version 5.2
  refused(crypto_api, 2, 0x00040004, 4);  // version 4.4 (.xlsx agile encryption)
  refused(crypto_api, 22, 0x660E, 4);     // AES-128
  refused(crypto_api, 26, 0x8003, 4);     // MD5
  for (unsigned bits : {32u, 44u, 136u}) refused(crypto_api, 30, bits, 4);
  refused(crypto_api, 48, 8, 4);     // salt size
  refused(crypto_api, 84, 16, 4);    // verifier hash size
  refused(crypto_api, 70, 0x55, 1);  // the verifier itself
}

TEST(BiffDecryptionTest, EveryTruncatedFilePassIsAnError) {
  for (const XlsEncryption method : {XlsEncryption::kRc4, XlsEncryption::kRc4CryptoApi}) {
    const std::string filepass = FilePassData(Encrypted(method, "VelvetSweatshop", 128));
    for (std::size_t n = 0; n < filepass.size(); ++n) {
      const testing::Thrown thrown =
          testing::ThrownBy([&] { (void)Open(filepass.substr(0, n), kDefaultWorkbookPassword); });
      EXPECT_NE(thrown.description, "") << n;
    }
  }
}

// Several sheets over many 1024-byte blocks, so that the key changes within records.
XlsWorkbook SeveralBlocks() {
  XlsWorkbook book;
  for (const char* name : {"First", "Second", "Third"}) {
    XlsSheet& s = book.AddSheet(name);
    for (int r = 0; r < 400; ++r) {
      s.Set(r, 0, XlsCell::Text(std::string(name) + " " + std::to_string(r)));
      s.Set(r, 1, XlsCell::Number(r * 0.25));
      s.Set(r, 2, XlsCell::Formula(std::string(r % 50, 'f')));
      s.Set(r, 3, XlsCell::Bool(r % 2 == 0));
    }
  }
  return book;
}

TEST(BiffDecryptionTest, ReadsWorkbooksEncryptedWithTheDefaultPassword) {
  XlsWorkbook book = SeveralBlocks();
  const auto plain = ParseBiffWorkbook(AsBytes(BuildXlsBytes(book)), "w.xls");
  const std::pair<XlsEncryption, int> methods[] = {{XlsEncryption::kRc4, 128},
                                                   {XlsEncryption::kRc4CryptoApi, 40},
                                                   {XlsEncryption::kRc4CryptoApi, 56},
                                                   {XlsEncryption::kRc4CryptoApi, 128}};
  for (const auto& [method, key_bits] : methods) {
    SCOPED_TRACE(key_bits);
    book.options = Encrypted(method, "VelvetSweatshop", key_bits);
    const std::string bytes = BuildXlsBytes(book);
    ASSERT_GT(bytes.size(), 20000u);
    const auto wb = ParseBiffWorkbook(AsBytes(bytes), "w.xls");
    ASSERT_EQ(wb->sheet_count(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(wb->sheet(k).name, plain->sheet(k).name);
      ASSERT_EQ(wb->sheet(k).rows, 400u);
      ASSERT_EQ(wb->sheet(k).columns, 4u);
      for (std::uint32_t r = 0; r < 400; ++r) {
        for (std::uint32_t c = 0; c < 4; ++c) {
          ASSERT_EQ(wb->Value(k, r, c), plain->Value(k, r, c)) << k << " " << r << " " << c;
        }
      }
    }
  }
}

TEST(BiffDecryptionTest, ReportsFilePassDamageWithItsPlace) {
  XlsWorkbook book;
  book.AddSheet("One").Set(0, 0, XlsCell::Number(1));
  book.options = Encrypted(XlsEncryption::kRc4CryptoApi, "VelvetSweatshop", 128);
  const std::string good = BuildXlsBytes(book);
  const auto error = [](const std::string& bytes) {
    return testing::ThrownBy([&] { ParseBiffWorkbook(AsBytes(bytes), "w.xls"); }).description;
  };
  const std::size_t filepass = FindBiffRecord(good, biff::kFilePass);
  // A header size past the record.
  const std::string past = error(WithLe(good, filepass + 4 + 10, 500, 4));
  EXPECT_EQ(past.rfind("w.xls: workbook globals, FILEPASS (0x002F) at offset 20: ", 0), 0u) << past;
  const std::size_t window = FindBiffRecord(good, biff::kWindow1);
  EXPECT_EQ(error(WithLe(good, window, biff::kFilePass, 2)),
            "w.xls: workbook globals, FILEPASS (0x002F) at offset " + std::to_string(window - 512) +
                ": a second FILEPASS record");
  // BIFF5 workbooks are only obfuscated with XOR, which is not decrypted.
  EXPECT_EQ(error(WithLe(good, FindBiffRecord(good, biff::kBof) + 4, biff::kBiff5Version, 2)),
            "w.xls: the workbook is password-protected");
}

}  // namespace
}  // namespace orvano
