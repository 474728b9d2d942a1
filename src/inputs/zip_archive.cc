#include "inputs/zip_archive.h"

#include <zip.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/byte_reader.h"

namespace orvano {
namespace {

// Inflated bytes are handed on in chunks of this size: small enough to stay in the cache, large
// enough that the calls cost nothing.
constexpr std::size_t kChunkSize = 64 * 1024;

std::string LibzipMessage(zip_error_t* error) {
  std::string text = zip_error_strerror(error);
  zip_error_fini(error);
  return text;
}

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

// Member names as lookups see them: ASCII letters folded, as package part names are compared.
std::string FoldedName(const char* name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// Throws when two members share a name. Readers disagree on which of the two counts (libzip
// finds the first, others the last), so such an archive would show different cells to
// different programs.
void RejectDuplicateNames(zip_t* archive) {
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  std::vector<std::pair<std::string, std::string>> names;  // folded, as stored
  names.reserve(static_cast<std::size_t>(std::max<zip_int64_t>(count, 0)));
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
    if (name != nullptr) names.emplace_back(FoldedName(name), name);
  }
  std::sort(names.begin(), names.end());
  const auto twin = std::adjacent_find(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return a.first == b.first;
  });
  if (twin != names.end()) {
    throw DataError("the archive holds two entries named " + twin->second);
  }
}

}  // namespace

struct ZipArchive::Handle {
  zip_t* archive = nullptr;
  ~Handle() {
    if (archive != nullptr) zip_discard(archive);
  }
};

InflationBudget::InflationBudget(std::size_t archive_size)
    : archive_size_(archive_size),
      limit_(std::min<std::uint64_t>(
          kMaxTotalInflatedBytes,
          std::max<std::uint64_t>(kMinInflationAllowance, kMaxInflationRatio * archive_size))) {}

bool InflationBudget::Take(std::uint64_t bytes) {
  std::uint64_t used = used_.load();
  do {
    if (bytes > limit_ - used) return false;
  } while (!used_.compare_exchange_weak(used, used + bytes));
  return true;
}

ZipArchive::ZipArchive(std::span<const std::byte> bytes)
    : ZipArchive(bytes, std::make_unique<InflationBudget>(bytes.size()), nullptr) {}

ZipArchive::ZipArchive(std::span<const std::byte> bytes, InflationBudget& budget)
    : ZipArchive(bytes, nullptr, &budget) {}

ZipArchive::ZipArchive(std::span<const std::byte> bytes, std::unique_ptr<InflationBudget> own,
                       InflationBudget* shared)
    : handle_(std::make_unique<Handle>()),
      own_budget_(std::move(own)),
      budget_(shared != nullptr ? *shared : *own_budget_) {
  zip_error_t error;
  zip_error_init(&error);
  // The archive is opened read-only: libzip reads the buffer in place and never writes to it.
  zip_source_t* source =
      zip_source_buffer_create(bytes.empty() ? nullptr : bytes.data(), bytes.size(), 0, &error);
  if (source == nullptr) throw DataError("ZIP archive: " + LibzipMessage(&error));
  handle_->archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (handle_->archive == nullptr) {
    zip_source_free(source);
    throw DataError("damaged ZIP archive: " + LibzipMessage(&error));
  }
  zip_error_fini(&error);
  RejectDuplicateNames(handle_->archive);
}

ZipArchive::~ZipArchive() = default;

bool ZipArchive::HasMember(std::string_view name) const {
  return zip_name_locate(handle_->archive, std::string(name).c_str(), ZIP_FL_NOCASE) >= 0;
}

void ZipArchive::StreamMember(std::string_view name,
                              const std::function<void(std::string_view)>& sink) {
  const std::string member(name);
  const zip_int64_t index = zip_name_locate(handle_->archive, member.c_str(), ZIP_FL_NOCASE);
  if (index < 0) throw DataError("part " + Quoted(name) + " is missing from the archive");
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(handle_->archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
      (stat.valid & ZIP_STAT_SIZE) == 0) {
    throw DataError("part " + Quoted(name) + ": its directory entry cannot be read (" +
                    zip_strerror(handle_->archive) + ")");
  }
  const auto too_large = [&](std::uint64_t size) {
    return "part " + Quoted(name) + " inflates to " + std::to_string(size) +
           " bytes, which takes the archive past " + std::to_string(budget_.limit()) +
           " inflated bytes (" + std::to_string(InflationBudget::kMaxInflationRatio) +
           " times its " + std::to_string(budget_.archive_size()) +
           " bytes, at most 1 GiB): refused as a ZIP bomb";
  };
  if (!budget_.Fits(stat.size)) throw DataError(too_large(stat.size));

  zip_file_t* file = zip_fopen_index(handle_->archive, static_cast<zip_uint64_t>(index), 0);
  if (file == nullptr) {
    zip_error_t* error = zip_get_error(handle_->archive);
    const int code = zip_error_code_zip(error);
    std::string what = zip_error_strerror(error);
    if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP) {
      what = "the part is encrypted";
    }
    zip_error_clear(handle_->archive);
    throw DataError("part " + Quoted(name) + " cannot be opened: " + what);
  }
  struct Closer {
    zip_file_t* file;
    ~Closer() { zip_fclose(file); }
  } closer{file};

  std::vector<char> buffer(kChunkSize);
  std::uint64_t read = 0;
  while (true) {
    const zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
    if (n < 0) {
      throw DataError("part " + Quoted(name) + " is damaged: " + zip_file_strerror(file));
    }
    if (n == 0) break;
    read += static_cast<std::uint64_t>(n);
    // libzip hands on what inflates past the declared size: the count stops it there.
    if (read > stat.size) {
      throw DataError("part " + Quoted(name) + " inflates past the " + std::to_string(stat.size) +
                      " bytes its directory entry declares");
    }
    if (!budget_.Take(static_cast<std::uint64_t>(n))) throw DataError(too_large(read));
    sink(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
  }
  if (read != stat.size) {
    throw DataError("part " + Quoted(name) + " is damaged: it inflates to " + std::to_string(read) +
                    " of the " + std::to_string(stat.size) + " bytes its directory entry declares");
  }
}

}  // namespace orvano
