#include "xls_writer/cfb_writer.h"

#include <cstdint>
#include <vector>

#include "inputs/cfb_format.h"
#include "support/errors.h"

namespace orvano {
namespace {

constexpr std::size_t kSector = cfb::kSectorSize3;
constexpr std::size_t kEntriesPerSector = kSector / 4;
constexpr std::size_t kDifatEntriesPerSector = kEntriesPerSector - 1;  // last: next DIFAT

void SetU16(std::string& out, std::size_t pos, unsigned value) {
  out[pos] = static_cast<char>(value & 0xFF);
  out[pos + 1] = static_cast<char>((value >> 8) & 0xFF);
}
void SetU32(std::string& out, std::size_t pos, std::uint32_t value) {
  SetU16(out, pos, value & 0xFFFF);
  SetU16(out, pos + 2, value >> 16);
}

std::size_t CeilDiv(std::size_t a, std::size_t b) { return (a + b - 1) / b; }

// One 128-byte directory entry; an empty name gives an unused entry.
void PutEntry(std::string& out, std::size_t pos, std::string_view name, cfb::EntryType type,
              std::uint32_t child, std::uint32_t start, std::uint32_t size) {
  for (std::size_t i = 0; i < name.size(); ++i) SetU16(out, pos + 2 * i, name[i]);
  SetU16(out, pos + cfb::kEntryNameLengthOffset, name.empty() ? 0 : 2 * (name.size() + 1));
  out[pos + cfb::kEntryTypeOffset] = static_cast<char>(type);
  out[pos + cfb::kEntryColorOffset] =
      static_cast<char>(name.empty() ? cfb::kColorRed : cfb::kColorBlack);
  SetU32(out, pos + cfb::kEntryLeftSiblingOffset, cfb::kNoEntry);
  SetU32(out, pos + cfb::kEntryRightSiblingOffset, cfb::kNoEntry);
  SetU32(out, pos + cfb::kEntryChildOffset, child);
  SetU32(out, pos + cfb::kEntryStartSectorOffset, start);
  SetU32(out, pos + cfb::kEntryStreamSizeOffset, size);
}

}  // namespace

std::string BuildCompoundFile(std::string_view stream_name, std::string_view stream) {
  if (stream.size() < cfb::kMiniStreamCutoff || stream.size() > 0x7FFFFFFF) {
    throw ProgramError("a stream of " + std::to_string(stream.size()) +
                           " bytes cannot be stored in ordinary sectors (4096 bytes to 2 GiB)",
                       "BuildCompoundFile");
  }
  if (stream_name.size() * 2 + 2 > cfb::kEntryNameCapacity) {
    throw ProgramError("stream name too long: " + std::string(stream_name), "BuildCompoundFile");
  }

  // Sector order: stream, directory, FAT, DIFAT. The FAT must cover its own sectors, so its
  // size is found by growing it until it does.
  const std::size_t stream_sectors = CeilDiv(stream.size(), kSector);
  const std::size_t directory_sector = stream_sectors;
  std::size_t fat_sectors = 1;
  std::size_t difat_sectors = 0;
  for (;;) {
    const std::size_t total = stream_sectors + 1 + fat_sectors + difat_sectors;
    const std::size_t need_fat = CeilDiv(total, kEntriesPerSector);
    const std::size_t need_difat =
        need_fat > cfb::kHeaderDifatEntries
            ? CeilDiv(need_fat - cfb::kHeaderDifatEntries, kDifatEntriesPerSector)
            : 0;
    if (need_fat == fat_sectors && need_difat == difat_sectors) break;
    fat_sectors = need_fat;
    difat_sectors = need_difat;
  }
  const std::size_t first_fat = directory_sector + 1;
  const std::size_t first_difat = first_fat + fat_sectors;
  const std::size_t total_sectors = first_difat + difat_sectors;

  std::string out((1 + total_sectors) * kSector, '\0');
  const auto sector_pos = [](std::size_t sector) { return (sector + 1) * kSector; };

  // Header.
  for (std::size_t i = 0; i < cfb::kSignature.size(); ++i) {
    out[i] = static_cast<char>(cfb::kSignature[i]);
  }
  SetU16(out, cfb::kHeaderMinorVersionOffset, cfb::kMinorVersion);
  SetU16(out, cfb::kHeaderMajorVersionOffset, cfb::kMajorVersion3);
  SetU16(out, cfb::kHeaderByteOrderOffset, cfb::kByteOrderMark);
  SetU16(out, cfb::kHeaderSectorShiftOffset, cfb::kSectorShift3);
  SetU16(out, cfb::kHeaderMiniSectorShiftOffset, cfb::kMiniSectorShift);
  SetU32(out, cfb::kHeaderFatSectorCountOffset, static_cast<std::uint32_t>(fat_sectors));
  SetU32(out, cfb::kHeaderFirstDirectorySectorOffset, static_cast<std::uint32_t>(directory_sector));
  SetU32(out, cfb::kHeaderMiniStreamCutoffOffset, cfb::kMiniStreamCutoff);
  SetU32(out, cfb::kHeaderFirstMiniFatSectorOffset, cfb::kEndOfChain);
  SetU32(out, cfb::kHeaderFirstDifatSectorOffset,
         difat_sectors ? static_cast<std::uint32_t>(first_difat) : cfb::kEndOfChain);
  SetU32(out, cfb::kHeaderDifatSectorCountOffset, static_cast<std::uint32_t>(difat_sectors));

  // Where each FAT sector is listed: the header's 109 slots, then the DIFAT sectors.
  std::vector<std::size_t> difat_slots;
  for (std::size_t i = 0; i < cfb::kHeaderDifatEntries; ++i) {
    difat_slots.push_back(cfb::kHeaderDifatOffset + 4 * i);
  }
  for (std::size_t d = 0; d < difat_sectors; ++d) {
    const std::size_t pos = sector_pos(first_difat + d);
    for (std::size_t i = 0; i < kDifatEntriesPerSector; ++i) difat_slots.push_back(pos + 4 * i);
    SetU32(
        out, pos + 4 * kDifatEntriesPerSector,
        d + 1 < difat_sectors ? static_cast<std::uint32_t>(first_difat + d + 1) : cfb::kEndOfChain);
  }
  for (std::size_t i = 0; i < difat_slots.size(); ++i) {
    SetU32(out, difat_slots[i],
           i < fat_sectors ? static_cast<std::uint32_t>(first_fat + i) : cfb::kFreeSector);
  }

  // FAT.
  const auto set_fat = [&](std::size_t sector, std::uint32_t value) {
    SetU32(out,
           sector_pos(first_fat + sector / kEntriesPerSector) + 4 * (sector % kEntriesPerSector),
           value);
  };
  for (std::size_t s = 0; s < fat_sectors * kEntriesPerSector; ++s) {
    std::uint32_t value = cfb::kFreeSector;
    if (s + 1 < stream_sectors) {
      value = static_cast<std::uint32_t>(s + 1);
    } else if (s + 1 == stream_sectors || s == directory_sector) {
      value = cfb::kEndOfChain;
    } else if (s >= first_fat && s < first_difat) {
      value = cfb::kFatSector;
    } else if (s >= first_difat && s < total_sectors) {
      value = cfb::kDifatSector;
    }
    set_fat(s, value);
  }

  // Directory: the root, the stream, two unused entries.
  const std::size_t dir = sector_pos(directory_sector);
  PutEntry(out, dir, cfb::kRootEntryName, cfb::EntryType::kRoot, 1, cfb::kEndOfChain, 0);
  PutEntry(out, dir + cfb::kDirectoryEntrySize, stream_name, cfb::EntryType::kStream, cfb::kNoEntry,
           0, static_cast<std::uint32_t>(stream.size()));
  for (std::size_t i = 2; i < kSector / cfb::kDirectoryEntrySize; ++i) {
    PutEntry(out, dir + i * cfb::kDirectoryEntrySize, "", cfb::EntryType::kUnused, cfb::kNoEntry, 0,
             0);
  }

  out.replace(sector_pos(0), stream.size(), stream);
  return out;
}

}  // namespace orvano
