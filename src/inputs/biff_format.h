// Record ids, sizes and magic values of the BIFF8 workbook stream (with the BIFF5/7 values a
// reader meets in older files), shared by the workbook reader in src/inputs/ and the fixture
// writer in tools/xls_writer/. docs/formats/biff8.md describes the subset we read and write.
// Every multi-byte field is little-endian.

#ifndef ORVANO_INPUTS_BIFF_FORMAT_H_
#define ORVANO_INPUTS_BIFF_FORMAT_H_

#include <cstddef>
#include <cstdint>

namespace orvano::biff {

// A record is a 4-byte header (id u16, data length u16) followed by its data.
inline constexpr std::size_t kRecordHeaderSize = 4;
// Longest record data in BIFF8; longer contents go on in CONTINUE records.
inline constexpr std::size_t kMaxRecordDataSize = 8224;
// The same limit in BIFF5/7.
inline constexpr std::size_t kMaxRecordDataSizeBiff5 = 2080;

// Record ids.
inline constexpr std::uint16_t kBof = 0x0809;
inline constexpr std::uint16_t kEof = 0x000A;
inline constexpr std::uint16_t kContinue = 0x003C;
inline constexpr std::uint16_t kCodePage = 0x0042;
inline constexpr std::uint16_t kDateMode = 0x0022;
inline constexpr std::uint16_t kFilePass = 0x002F;  // encrypted workbook
inline constexpr std::uint16_t kInterfaceHdr = 0x00E1;
inline constexpr std::uint16_t kUsrExcl = 0x0194;
inline constexpr std::uint16_t kFileLock = 0x0195;
inline constexpr std::uint16_t kRrdInfo = 0x0196;
inline constexpr std::uint16_t kRrdHead = 0x0138;
inline constexpr std::uint16_t kWindow1 = 0x003D;
inline constexpr std::uint16_t kFont = 0x0031;
inline constexpr std::uint16_t kFormat = 0x041E;
inline constexpr std::uint16_t kXf = 0x00E0;
inline constexpr std::uint16_t kStyle = 0x0293;
inline constexpr std::uint16_t kBoundSheet = 0x0085;
inline constexpr std::uint16_t kSst = 0x00FC;
inline constexpr std::uint16_t kExtSst = 0x00FF;
inline constexpr std::uint16_t kIndex = 0x020B;
inline constexpr std::uint16_t kDimensions = 0x0200;
inline constexpr std::uint16_t kWindow2 = 0x023E;
inline constexpr std::uint16_t kRow = 0x0208;
inline constexpr std::uint16_t kDbCell = 0x00D7;
// Cell records.
inline constexpr std::uint16_t kBlank = 0x0201;
inline constexpr std::uint16_t kMulBlank = 0x00BE;
inline constexpr std::uint16_t kNumber = 0x0203;
inline constexpr std::uint16_t kRk = 0x027E;
inline constexpr std::uint16_t kMulRk = 0x00BD;
inline constexpr std::uint16_t kLabel = 0x0204;
inline constexpr std::uint16_t kRString = 0x00D6;
inline constexpr std::uint16_t kLabelSst = 0x00FD;
inline constexpr std::uint16_t kBoolErr = 0x0205;
inline constexpr std::uint16_t kFormula = 0x0006;
// FORMULA under its BIFF3 and BIFF4 ids. Some writers still use them in BIFF5-8 streams, with
// the layout of kFormula up to the result.
inline constexpr std::uint16_t kFormulaBiff3 = 0x0206;
inline constexpr std::uint16_t kFormulaBiff4 = 0x0406;
inline constexpr std::uint16_t kString = 0x0207;  // text result of the FORMULA before it
inline constexpr std::uint16_t kArray = 0x0221;
inline constexpr std::uint16_t kSharedFormula = 0x04BC;
inline constexpr std::uint16_t kTable = 0x0236;  // data table; may sit between FORMULA and STRING
// The cell records of BIFF2 (row u16, column u16, 3 attribute bytes, value), which BIFF5-8
// streams do not use; their FORMULA shares the id kFormula.
inline constexpr std::uint16_t kBlankBiff2 = 0x0001;
inline constexpr std::uint16_t kIntegerBiff2 = 0x0002;
inline constexpr std::uint16_t kNumberBiff2 = 0x0003;
inline constexpr std::uint16_t kLabelBiff2 = 0x0004;
inline constexpr std::uint16_t kBoolErrBiff2 = 0x0005;
inline constexpr std::uint16_t kStringBiff2 = 0x0007;

// BOF: version u16, substream type u16, build u16, year u16, history u32, lowest version u32.
inline constexpr std::size_t kBofSize = 16;
inline constexpr std::uint16_t kBiff8Version = 0x0600;
inline constexpr std::uint16_t kBiff5Version = 0x0500;  // BIFF5 and BIFF7
inline constexpr std::uint16_t kSubstreamGlobals = 0x0005;
inline constexpr std::uint16_t kSubstreamVbModule = 0x0006;
inline constexpr std::uint16_t kSubstreamWorksheet = 0x0010;
inline constexpr std::uint16_t kSubstreamChart = 0x0020;
inline constexpr std::uint16_t kSubstreamMacroSheet = 0x0040;

// CODEPAGE value of a BIFF8 workbook: texts are UTF-16LE (8-bit texts are Latin-1).
inline constexpr std::uint16_t kCodePageUtf16 = 1200;

// FILEPASS: encryption type u16, then what that type needs.
// - kEncryptionXor: key u16, password hash u16 (the only form in BIFF5/7, without the type).
// - kEncryptionRc4: version major u16, minor u16, then
//   - version 1.1 (RC4 with MD5 keys): salt, encrypted verifier, encrypted MD5 of the verifier;
//   - versions 2.2, 3.2 and 4.2 (RC4 through CryptoAPI, SHA-1 keys): flags u32, header size u32,
//     header (flags u32, extra size u32, cipher u32, hash u32, key size in bits u32, provider
//     type u32, reserved u32, reserved u32, provider name: UTF-16, NUL-terminated, to the end of
//     the header), salt size u32, salt, encrypted verifier, verifier hash size u32, encrypted
//     SHA-1 of the verifier.
// Every record after FILEPASS has its data encrypted with RC4 under a key made from the password,
// the salt and the number of the 1024-byte block of the stream the byte lies in; the key stream
// runs on from the block's start, over record headers and clear records too. Record headers,
// the records of kClearRecords and the first kBoundSheetClearSize bytes of BOUNDSHEET stay clear.
inline constexpr std::uint16_t kEncryptionXor = 0x0000;
inline constexpr std::uint16_t kEncryptionRc4 = 0x0001;
inline constexpr std::uint16_t kRc4VersionMajor = 1;
inline constexpr std::uint16_t kRc4VersionMinor = 1;
inline constexpr std::uint16_t kCryptoApiVersionMinor = 2;  // with majors 2, 3 and 4
inline constexpr std::uint16_t kCryptoApiLowestMajor = 2;
inline constexpr std::uint16_t kCryptoApiHighestMajor = 4;
inline constexpr std::uint32_t kCryptoApiFlag = 0x04;  // header flags: CryptoAPI is used
inline constexpr std::uint32_t kCipherRc4 = 0x6801;
inline constexpr std::uint32_t kHashSha1 = 0x8004;  // 0 means SHA-1 too
inline constexpr std::uint32_t kProviderRsaFull = 1;
inline constexpr std::size_t kCryptoApiHeaderFixedSize = 32;  // before the provider name
inline constexpr std::uint32_t kDefaultKeyBits = 40;          // a key size of 0 means 40 bits
inline constexpr std::uint32_t kMaxKeyBits = 128;
inline constexpr std::size_t kSaltSize = 16;
inline constexpr std::size_t kVerifierSize = 16;
inline constexpr std::size_t kMd5Size = 16;
inline constexpr std::size_t kSha1Size = 20;
inline constexpr std::size_t kRc4KeySize = 16;  // a 40-bit key is padded with zeros to this
inline constexpr std::size_t kEncryptionBlockSize = 1024;
inline constexpr std::uint16_t kClearRecords[] = {kBof,      kFilePass, kInterfaceHdr, kUsrExcl,
                                                  kFileLock, kRrdInfo,  kRrdHead};
inline constexpr std::size_t kBoundSheetClearSize = 4;  // the sheet's stream offset

// BOUNDSHEET: stream offset of the sheet's BOF u32, visibility u8, sheet type u8, name
// (8-bit-length Unicode string).
inline constexpr std::uint8_t kSheetVisible = 0;
inline constexpr std::uint8_t kSheetTypeWorksheet = 0;
inline constexpr std::uint8_t kSheetTypeChart = 2;
inline constexpr std::uint8_t kSheetTypeVbModule = 6;

// Unicode strings: character count (u8 or u16), option flags u8, [rich-text run count u16],
// [far-east size u32], characters (1 byte each, Latin-1, or 2 bytes UTF-16LE), [runs], [far-east].
inline constexpr std::uint8_t kStringHighByte = 0x01;  // characters are 2 bytes
inline constexpr std::uint8_t kStringFarEast = 0x04;
inline constexpr std::uint8_t kStringRichText = 0x08;
inline constexpr std::size_t kRichTextRunSize = 4;

// SST: total references u32, unique strings u32, strings. EXTSST: strings per bucket u16, then
// per bucket the stream offset u32 and in-record offset u16 of its first string, reserved u16.
inline constexpr std::size_t kSstHeaderSize = 8;
inline constexpr std::size_t kExtSstBucketSize = 8;
inline constexpr std::size_t kExtSstMaxBuckets = 128;
inline constexpr std::uint16_t kExtSstMinStringsPerBucket = 8;

// Cell records open with row u16, column u16, XF index u16.
inline constexpr std::size_t kCellHeaderSize = 6;
inline constexpr std::size_t kNumberSize = 14;
inline constexpr std::size_t kRkSize = 10;
inline constexpr std::size_t kLabelSstSize = 10;
inline constexpr std::size_t kBoolErrSize = 8;
inline constexpr std::size_t kBlankSize = 6;
inline constexpr std::size_t kMulRkEntrySize = 6;  // XF index u16, RK value u32
// DIMENSIONS (BIFF8): first row u32, last row + 1 u32, first column u16, last column + 1 u16,
// reserved u16.
inline constexpr std::size_t kDimensionsSize = 14;

// RK values: bit 0 set means the value is divided by 100; bit 1 set means bits 2-31 are a
// signed integer, otherwise they are the top 30 bits of an IEEE double.
inline constexpr std::uint32_t kRkDividedBy100 = 0x01;
inline constexpr std::uint32_t kRkInteger = 0x02;

// BOOLERR: value u8, is-error u8.
inline constexpr std::uint8_t kBoolErrIsBool = 0;
inline constexpr std::uint8_t kBoolErrIsError = 1;

// Error codes of BOOLERR and of formula results.
inline constexpr std::uint8_t kErrorNull = 0x00;   // #NULL!
inline constexpr std::uint8_t kErrorDiv0 = 0x07;   // #DIV/0!
inline constexpr std::uint8_t kErrorValue = 0x0F;  // #VALUE!
inline constexpr std::uint8_t kErrorRef = 0x17;    // #REF!
inline constexpr std::uint8_t kErrorName = 0x1D;   // #NAME?
inline constexpr std::uint8_t kErrorNum = 0x24;    // #NUM!
inline constexpr std::uint8_t kErrorNa = 0x2A;     // #N/A

// FORMULA: cell header, result 8 bytes, options u16, reserved u32, token count u16, tokens.
// A result whose bytes 6-7 are kFormulaNotNumber is no double: byte 0 says what it is.
inline constexpr std::size_t kFormulaResultOffset = 6;
inline constexpr std::size_t kFormulaOptionsOffset = 14;
inline constexpr std::size_t kFormulaTokenSizeOffset = 20;
inline constexpr std::size_t kFormulaTokensOffset = 22;
inline constexpr std::uint16_t kFormulaNotNumber = 0xFFFF;
inline constexpr std::uint8_t kFormulaResultString = 0;  // a STRING record follows
inline constexpr std::uint8_t kFormulaResultBool = 1;    // value at result byte 2
inline constexpr std::uint8_t kFormulaResultError = 2;   // error code at result byte 2
inline constexpr std::uint8_t kFormulaResultEmpty = 3;   // empty text, no STRING record

// Formula tokens used by constant formulas.
inline constexpr std::uint8_t kTokenConcat = 0x08;
inline constexpr std::uint8_t kTokenStr = 0x17;   // 8-bit-length Unicode string
inline constexpr std::uint8_t kTokenErr = 0x1C;   // error code u8
inline constexpr std::uint8_t kTokenBool = 0x1D;  // u8
inline constexpr std::uint8_t kTokenInt = 0x1E;   // u16
inline constexpr std::uint8_t kTokenNum = 0x1F;   // double

// Limits of a BIFF8 worksheet and its texts (characters are UTF-16 code units).
inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;
inline constexpr std::size_t kMaxSheetNameLength = 31;
inline constexpr std::size_t kMaxCellTextLength = 32767;
inline constexpr std::size_t kMaxTokenStringLength = 255;

// The XF every cell of a plain workbook uses: 15 style XFs come first.
inline constexpr std::uint16_t kDefaultCellXf = 15;

}  // namespace orvano::biff

#endif  // ORVANO_INPUTS_BIFF_FORMAT_H_
