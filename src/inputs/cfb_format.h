// Layout constants of the compound file (the container an .xls workbook lives in), shared by the
// workbook reader in src/inputs/ and the fixture writer in tools/xls_writer/. docs/formats/cfb.md
// describes the subset we read and write. Every multi-byte field is little-endian.

#ifndef ORVANO_INPUTS_CFB_FORMAT_H_
#define ORVANO_INPUTS_CFB_FORMAT_H_

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvano::cfb {

// The eight bytes every compound file starts with.
inline constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                           0xA1, 0xB1, 0x1A, 0xE1};

// Header: 512 bytes at offset 0 (in version 4 the rest of the first 4096-byte sector is zero).
inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kHeaderSignatureOffset = 0;              // 8 bytes
inline constexpr std::size_t kHeaderClsidOffset = 8;                  // 16 bytes, zero
inline constexpr std::size_t kHeaderMinorVersionOffset = 24;          // u16
inline constexpr std::size_t kHeaderMajorVersionOffset = 26;          // u16: 3 or 4
inline constexpr std::size_t kHeaderByteOrderOffset = 28;             // u16: kByteOrderMark
inline constexpr std::size_t kHeaderSectorShiftOffset = 30;           // u16: 9 (v3) or 12 (v4)
inline constexpr std::size_t kHeaderMiniSectorShiftOffset = 32;       // u16: 6
inline constexpr std::size_t kHeaderDirectorySectorCountOffset = 40;  // u32: 0 in version 3
inline constexpr std::size_t kHeaderFatSectorCountOffset = 44;        // u32
inline constexpr std::size_t kHeaderFirstDirectorySectorOffset = 48;  // u32
inline constexpr std::size_t kHeaderTransactionOffset = 52;           // u32, zero
inline constexpr std::size_t kHeaderMiniStreamCutoffOffset = 56;      // u32: kMiniStreamCutoff
inline constexpr std::size_t kHeaderFirstMiniFatSectorOffset = 60;    // u32
inline constexpr std::size_t kHeaderMiniFatSectorCountOffset = 64;    // u32
inline constexpr std::size_t kHeaderFirstDifatSectorOffset = 68;      // u32
inline constexpr std::size_t kHeaderDifatSectorCountOffset = 72;      // u32
inline constexpr std::size_t kHeaderDifatOffset = 76;                 // kHeaderDifatEntries x u32
inline constexpr std::size_t kHeaderDifatEntries = 109;

inline constexpr std::uint16_t kMinorVersion = 0x003E;
inline constexpr std::uint16_t kMajorVersion3 = 3;
inline constexpr std::uint16_t kMajorVersion4 = 4;
inline constexpr std::uint16_t kByteOrderMark = 0xFFFE;
inline constexpr std::uint16_t kSectorShift3 = 9;     // 512-byte sectors
inline constexpr std::uint16_t kSectorShift4 = 12;    // 4096-byte sectors
inline constexpr std::uint16_t kMiniSectorShift = 6;  // 64-byte mini sectors
inline constexpr std::size_t kSectorSize3 = 512;
inline constexpr std::size_t kMiniSectorSize = 64;
// Streams shorter than this live in the mini stream; longer ones in ordinary sectors.
inline constexpr std::uint32_t kMiniStreamCutoff = 4096;

// Sector numbers: sector n starts at file offset (n + 1) * sector size.
inline constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
inline constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;  // FAT entry of a DIFAT sector
inline constexpr std::uint32_t kFatSector = 0xFFFFFFFD;    // FAT entry of a FAT sector
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;

// Directory entries: 128 bytes each, four per 512-byte sector, numbered from 0 (the root).
inline constexpr std::size_t kDirectoryEntrySize = 128;
inline constexpr std::size_t kEntryNameOffset = 0;  // UTF-16LE, NUL-terminated, 64 bytes
inline constexpr std::size_t kEntryNameCapacity = 64;
inline constexpr std::size_t kEntryNameLengthOffset = 64;    // u16: bytes including the NUL
inline constexpr std::size_t kEntryTypeOffset = 66;          // u8: EntryType
inline constexpr std::size_t kEntryColorOffset = 67;         // u8: 0 red, 1 black
inline constexpr std::size_t kEntryLeftSiblingOffset = 68;   // u32 entry id
inline constexpr std::size_t kEntryRightSiblingOffset = 72;  // u32 entry id
inline constexpr std::size_t kEntryChildOffset = 76;         // u32 entry id
inline constexpr std::size_t kEntryClsidOffset = 80;         // 16 bytes
inline constexpr std::size_t kEntryStateBitsOffset = 96;     // u32
inline constexpr std::size_t kEntryCreatedOffset = 100;      // 8 bytes FILETIME
inline constexpr std::size_t kEntryModifiedOffset = 108;     // 8 bytes FILETIME
inline constexpr std::size_t kEntryStartSectorOffset = 116;  // u32
inline constexpr std::size_t kEntryStreamSizeOffset = 120;   // u64 (high half 0 in version 3)

inline constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;  // absent sibling or child

enum class EntryType : std::uint8_t { kUnused = 0, kStorage = 1, kStream = 2, kRoot = 5 };
inline constexpr std::uint8_t kColorRed = 0;
inline constexpr std::uint8_t kColorBlack = 1;

// Names of the entries an .xls file holds (BIFF8 uses "Workbook"; BIFF5/7 used "Book").
inline constexpr char kRootEntryName[] = "Root Entry";
inline constexpr char kWorkbookStreamName[] = "Workbook";
inline constexpr char kBiff5WorkbookStreamName[] = "Book";
// A password-protected .xlsx is a compound file holding the encrypted archive in this stream.
inline constexpr char kEncryptedPackageStreamName[] = "EncryptedPackage";

}  // namespace orvano::cfb

#endif  // ORVANO_INPUTS_CFB_FORMAT_H_
