#include "inputs/compound_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "inputs/cfb_format.h"
#include "support/byte_reader.h"

namespace orvano {
namespace {

using std::size_t;
using std::uint32_t;

[[noreturn]] void Fail(const std::string& message) { throw DataError("compound file: " + message); }

std::string Num(std::uint64_t n) { return std::to_string(n); }

bool IsSpecial(uint32_t sector) { return sector > cfb::kMaxRegularSector; }

char AsciiLower(char16_t c) {
  return static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
}

class Container {
 public:
  explicit Container(std::span<const std::byte> file) : file_(file) {}

  void ReadHeader();
  CompoundStream Find(std::initializer_list<std::string_view> names);

 private:
  struct Entry {
    std::u16string name;
    std::uint8_t type = 0;
    uint32_t left = cfb::kNoEntry, right = cfb::kNoEntry, child = cfb::kNoEntry;
    uint32_t start = 0;
    std::uint64_t size = 0;
  };

  size_t SectorOffset(uint32_t sector) const { return (size_t{sector} + 1) * sector_size_; }
  // The sectors of a chain, `count` of them, or up to its end when `count` is 0. Every sector
  // must lie in the file and be met once.
  std::vector<uint32_t> Chain(uint32_t start, size_t count, const std::string& what) const;
  // The bytes of a chain of ordinary sectors, cut to `size`.
  CompoundStream Gather(uint32_t start, std::uint64_t size, const std::string& what) const;
  CompoundStream GatherMini(uint32_t start, std::uint64_t size, const std::string& what);
  void ReadDirectory();
  std::vector<uint32_t> ReadFatSectorList(uint32_t fat_sectors, uint32_t first_difat,
                                          uint32_t difat_count) const;

  std::span<const std::byte> file_;
  size_t sector_size_ = cfb::kSectorSize3;
  size_t sector_count_ = 0;  // sectors that start inside the file
  std::uint16_t major_ = 3;
  uint32_t first_directory_ = 0;
  uint32_t first_mini_fat_ = cfb::kEndOfChain;
  std::vector<uint32_t> fat_;
  std::vector<Entry> entries_;
  bool mini_loaded_ = false;
  CompoundStream mini_stream_;
  std::vector<uint32_t> mini_fat_;
};

void Container::ReadHeader() {
  if (!HasCompoundFileSignature(file_)) Fail("no compound file signature");
  if (file_.size() < cfb::kHeaderSize) {
    Fail("header cut short (" + Num(file_.size()) + " of 512 bytes)");
  }
  ByteReader header(file_.first(cfb::kHeaderSize));
  header.Skip(cfb::kHeaderMajorVersionOffset);
  major_ = header.U16();
  const std::uint16_t byte_order = header.U16();
  const std::uint16_t shift = header.U16();
  const std::uint16_t mini_shift = header.U16();
  if (major_ != cfb::kMajorVersion3 && major_ != cfb::kMajorVersion4) {
    Fail("unknown major version " + Num(major_));
  }
  if (byte_order != cfb::kByteOrderMark) Fail("bad byte order mark");
  if (shift != cfb::kSectorShift3 && shift != cfb::kSectorShift4) {
    Fail("unsupported sector shift " + Num(shift));
  }
  if (mini_shift != cfb::kMiniSectorShift) Fail("unsupported mini sector shift " + Num(mini_shift));
  sector_size_ = size_t{1} << shift;
  sector_count_ = file_.size() > sector_size_
                      ? (file_.size() - sector_size_ + sector_size_ - 1) / sector_size_
                      : 0;
  header.Skip(cfb::kHeaderFatSectorCountOffset - header.offset());
  const uint32_t fat_sectors = header.U32();
  first_directory_ = header.U32();
  header.Skip(8);  // transaction signature, mini stream cutoff
  first_mini_fat_ = header.U32();
  header.Skip(4);  // mini FAT sector count: the chain says it
  const uint32_t first_difat = header.U32();
  const uint32_t difat_count = header.U32();

  if (fat_sectors > sector_count_) {
    Fail("header claims " + Num(fat_sectors) + " FAT sectors, the file holds only " +
         Num(sector_count_) + " sectors");
  }
  const std::vector<uint32_t> fat_list = ReadFatSectorList(fat_sectors, first_difat, difat_count);
  const size_t per_sector = sector_size_ / 4;
  fat_.reserve(fat_list.size() * per_sector);
  for (uint32_t s : fat_list) {
    if (IsSpecial(s) || s >= sector_count_ || SectorOffset(s) + sector_size_ > file_.size()) {
      Fail("FAT sector " + Num(s) + " lies past the end of the file");
    }
    ByteReader r(file_.subspan(SectorOffset(s), sector_size_), SectorOffset(s));
    for (size_t i = 0; i < per_sector; ++i) fat_.push_back(r.U32());
  }
  ReadDirectory();
}

std::vector<uint32_t> Container::ReadFatSectorList(uint32_t fat_sectors, uint32_t first_difat,
                                                   uint32_t difat_count) const {
  std::vector<uint32_t> list;
  list.reserve(fat_sectors);
  ByteReader slots(file_.subspan(cfb::kHeaderDifatOffset, cfb::kHeaderDifatEntries * 4),
                   cfb::kHeaderDifatOffset);
  for (size_t i = 0; i < cfb::kHeaderDifatEntries && list.size() < fat_sectors; ++i) {
    list.push_back(slots.U32());
  }
  std::vector<bool> visited(sector_count_);
  uint32_t difat = first_difat;
  const size_t per_sector = sector_size_ / 4 - 1;
  for (uint32_t n = 0; list.size() < fat_sectors; ++n) {
    if (IsSpecial(difat) || n >= difat_count) {
      Fail("DIFAT ends after " + Num(list.size()) + " of " + Num(fat_sectors) + " FAT sectors");
    }
    if (difat >= sector_count_ || SectorOffset(difat) + sector_size_ > file_.size()) {
      Fail("DIFAT sector " + Num(difat) + " lies past the end of the file");
    }
    if (visited[difat]) Fail("DIFAT chain loops at sector " + Num(difat));
    visited[difat] = true;
    ByteReader r(file_.subspan(SectorOffset(difat), sector_size_), SectorOffset(difat));
    for (size_t i = 0; i < per_sector && list.size() < fat_sectors; ++i) list.push_back(r.U32());
    r = ByteReader(file_.subspan(SectorOffset(difat) + per_sector * 4, 4));
    difat = r.U32();
  }
  return list;
}

std::vector<uint32_t> Container::Chain(uint32_t start, size_t count,
                                       const std::string& what) const {
  std::vector<uint32_t> chain;
  std::vector<bool> visited(sector_count_);
  uint32_t s = start;
  // Each turn marks a new sector as visited, so at most sector_count_ turns are taken.
  while (count == 0 || chain.size() < count) {
    if (s == cfb::kEndOfChain && count == 0) break;
    if (IsSpecial(s)) {
      Fail(what + " chain ends after " + Num(chain.size()) +
           (count ? " of " + Num(count) : std::string()) + " sectors");
    }
    if (s >= sector_count_) {
      Fail(what + " chain points past the end of the file (sector " + Num(s) + ", the file holds " +
           Num(sector_count_) + " sectors)");
    }
    if (visited[s]) Fail(what + " chain loops at sector " + Num(s));
    visited[s] = true;
    chain.push_back(s);
    if (count != 0 && chain.size() == count) break;
    if (s >= fat_.size()) Fail(what + " chain: sector " + Num(s) + " has no FAT entry");
    s = fat_[s];
  }
  return chain;
}

CompoundStream Container::Gather(uint32_t start, std::uint64_t size,
                                 const std::string& what) const {
  CompoundStream out;
  if (size == 0) return out;
  if (size > file_.size()) {
    Fail(what + " claims " + Num(size) + " bytes, more than the file's " + Num(file_.size()));
  }
  const size_t n = static_cast<size_t>(size);
  const std::vector<uint32_t> chain = Chain(start, (n + sector_size_ - 1) / sector_size_, what);
  bool contiguous = true;
  for (size_t i = 1; i < chain.size() && contiguous; ++i) contiguous = chain[i] == chain[0] + i;
  const size_t first = SectorOffset(chain[0]);
  if (contiguous) {
    if (first + n > file_.size()) {
      Fail(what + " is cut short: the file ends " + Num(first + n - file_.size()) +
           " bytes before the stream does");
    }
    out.bytes = file_.subspan(first, n);
    return out;
  }
  out.owned.resize(n);
  for (size_t i = 0; i < chain.size(); ++i) {
    const size_t at = i * sector_size_;
    const size_t len = std::min(sector_size_, n - at);
    const size_t from = SectorOffset(chain[i]);
    if (from + len > file_.size()) Fail(what + " is cut short at sector " + Num(chain[i]));
    std::memcpy(out.owned.data() + at, file_.data() + from, len);
  }
  out.bytes = out.owned;
  return out;
}

CompoundStream Container::GatherMini(uint32_t start, std::uint64_t size, const std::string& what) {
  if (!mini_loaded_) {
    mini_loaded_ = true;
    if (entries_.empty()) Fail("no root entry");
    mini_stream_ = Gather(entries_[0].start, entries_[0].size, "mini stream");
    if (!IsSpecial(first_mini_fat_)) {
      const std::vector<uint32_t> chain = Chain(first_mini_fat_, 0, "mini FAT");
      mini_fat_.reserve(chain.size() * sector_size_ / 4);
      for (uint32_t s : chain) {
        if (SectorOffset(s) + sector_size_ > file_.size()) Fail("mini FAT sector cut short");
        ByteReader r(file_.subspan(SectorOffset(s), sector_size_), SectorOffset(s));
        while (!r.empty()) mini_fat_.push_back(r.U32());
      }
    }
  }
  CompoundStream out;
  if (size == 0) return out;
  const std::span<const std::byte> mini = mini_stream_.bytes;
  if (size > mini.size()) {
    Fail(what + " claims " + Num(size) + " bytes, more than the mini stream's " + Num(mini.size()));
  }
  const size_t n = static_cast<size_t>(size);
  const size_t mini_sectors = mini.size() / cfb::kMiniSectorSize;
  std::vector<bool> visited(mini_sectors);
  out.owned.resize(n);
  uint32_t s = start;
  for (size_t at = 0; at < n; at += cfb::kMiniSectorSize) {
    if (IsSpecial(s)) Fail(what + " mini chain ends before " + Num(n) + " bytes");
    if (s >= mini_sectors) {
      Fail(what + " mini chain points past the end of the mini stream (mini sector " + Num(s) +
           ")");
    }
    if (visited[s]) Fail(what + " mini chain loops at mini sector " + Num(s));
    visited[s] = true;
    const size_t len = std::min(cfb::kMiniSectorSize, n - at);
    std::memcpy(out.owned.data() + at, mini.data() + size_t{s} * cfb::kMiniSectorSize, len);
    if (at + len < n) {
      if (s >= mini_fat_.size()) Fail(what + ": mini sector " + Num(s) + " has no mini FAT entry");
      s = mini_fat_[s];
    }
  }
  out.bytes = out.owned;
  return out;
}

void Container::ReadDirectory() {
  const std::vector<uint32_t> chain = Chain(first_directory_, 0, "directory");
  const size_t per_sector = sector_size_ / cfb::kDirectoryEntrySize;
  entries_.reserve(chain.size() * per_sector);
  for (uint32_t s : chain) {
    if (SectorOffset(s) + sector_size_ > file_.size()) Fail("directory sector cut short");
    for (size_t i = 0; i < per_sector; ++i) {
      const size_t at = SectorOffset(s) + i * cfb::kDirectoryEntrySize;
      ByteReader r(file_.subspan(at, cfb::kDirectoryEntrySize), at);
      Entry e;
      ByteReader name = r.Sub(cfb::kEntryNameCapacity);
      const size_t name_bytes = std::min<size_t>(r.U16(), cfb::kEntryNameCapacity);
      for (size_t k = 0; k + 1 < name_bytes; k += 2) {
        const char16_t c = name.U16();
        if (c == 0) break;
        e.name.push_back(c);
      }
      e.type = r.U8();
      r.Skip(1);  // colour
      e.left = r.U32();
      e.right = r.U32();
      e.child = r.U32();
      r.Skip(cfb::kEntryStartSectorOffset - cfb::kEntryClsidOffset);
      e.start = r.U32();
      e.size = r.U64();
      if (major_ == cfb::kMajorVersion3) e.size &= 0xFFFFFFFFu;
      entries_.push_back(std::move(e));
    }
  }
  if (entries_.empty() || entries_[0].type != static_cast<std::uint8_t>(cfb::EntryType::kRoot)) {
    Fail("directory entry 0 is not the root");
  }
}

CompoundStream Container::Find(std::initializer_list<std::string_view> names) {
  // Walk the root's children (a tree of siblings); each entry is visited once.
  std::vector<bool> visited(entries_.size());
  std::vector<uint32_t> pending{entries_[0].child};
  std::vector<const Entry*> streams;
  while (!pending.empty()) {
    const uint32_t id = pending.back();
    pending.pop_back();
    if (id == cfb::kNoEntry) continue;
    if (id >= entries_.size()) Fail("directory entry " + Num(id) + " does not exist");
    if (visited[id]) Fail("directory tree loops at entry " + Num(id));
    visited[id] = true;
    const Entry& e = entries_[id];
    if (e.type == static_cast<std::uint8_t>(cfb::EntryType::kStream)) streams.push_back(&e);
    pending.push_back(e.left);
    pending.push_back(e.right);
  }
  for (std::string_view wanted : names) {
    for (const Entry* e : streams) {
      if (e->name.size() != wanted.size()) continue;
      bool same = true;
      for (size_t i = 0; i < wanted.size() && same; ++i) {
        same = AsciiLower(e->name[i]) == AsciiLower(static_cast<unsigned char>(wanted[i]));
      }
      if (!same) continue;
      const std::string what = "stream \"" + std::string(wanted) + "\"";
      CompoundStream out = e->size < cfb::kMiniStreamCutoff ? GatherMini(e->start, e->size, what)
                                                            : Gather(e->start, e->size, what);
      out.name = wanted;
      return out;
    }
  }
  std::string list;
  for (std::string_view n : names) list += (list.empty() ? "\"" : " or \"") + std::string(n) + "\"";
  Fail("no stream " + list);
}

}  // namespace

bool HasCompoundFileSignature(std::span<const std::byte> file) {
  if (file.size() < cfb::kSignature.size()) return false;
  for (size_t i = 0; i < cfb::kSignature.size(); ++i) {
    if (static_cast<std::uint8_t>(file[i]) != cfb::kSignature[i]) return false;
  }
  return true;
}

CompoundStream ReadCompoundStream(std::span<const std::byte> file,
                                  std::initializer_list<std::string_view> names) {
  Container container(file);
  container.ReadHeader();
  return container.Find(names);
}

}  // namespace orvano
