// libmdb is known to crash, loop or read uninitialised memory on damaged files, so it never
// runs in this process: every JetDatabase has its own reader process (orvano-dbreader, see
// jet_reader_client.h), and a reader that dies, hangs or talks nonsense is a damaged file.

#include "jet/jet_database.h"

#include <chrono>
#include <clocale>

#include "jet/jet_reader_client.h"
#include "support/child_process.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/text_case.h"

// Where an installation puts the reader, seen from the folder of orvano-html (build option).
#ifndef ORVANO_READER_FOLDER_FROM_BIN
#define ORVANO_READER_FOLDER_FROM_BIN "../libexec/orvano-html/"
#endif

namespace orvano {
namespace {

constexpr const char* kSource = "JetDatabase";
constexpr const char* kReaderName = "orvano-dbreader";
// Per request: sending the file and opening it, or reading one table.
constexpr std::chrono::seconds kTimeLimit(30);

std::string ReaderProgram(FileSystem& fs) {
  const std::string folder = RunningExecutableFolder();
  for (const std::string& place : DatabaseReaderPlaces(folder)) {
    if (fs.IsFile(place)) return place;
  }
  throw UnexpectedError(err::kDbCannotOpen,
                        "The database reader " + folder + kReaderName + " is missing", kSource);
}

}  // namespace

// Beside the executable first (a portable copy, the build tree), then where an installation
// puts it. Programs of the build tree that have none beside them (test binaries in other build
// folders, copies of orvano-html in temporary folders, benchmarks) use the one the build made,
// whose path is built in.
std::vector<std::string> DatabaseReaderPlaces(const std::string& exe_folder) {
  std::vector<std::string> places;
  if (!exe_folder.empty()) {
    places.push_back(exe_folder + kReaderName);
    places.push_back(FolderRelativeTo(exe_folder, ORVANO_READER_FOLDER_FROM_BIN) + kReaderName);
  }
#ifdef ORVANO_DBREADER_FALLBACK
  if (places.empty() || places.front() != ORVANO_DBREADER_FALLBACK) {
    places.push_back(ORVANO_DBREADER_FALLBACK);
  }
#endif
  return places;
}

struct JetDatabase::Handle {
  Handle(const std::string& program, const std::string& path)
      : reader(program, {std::setlocale(LC_ALL, nullptr)}, path, kTimeLimit) {}

  bool Has(std::string_view name) const {
    for (const std::string& table : tables) {
      if (EqualsIgnoringCase(table, name)) return true;
    }
    return false;
  }

  JetReaderClient reader;
  std::vector<std::string> tables;  // the user tables, in catalog order

  // Throws the error for a missing table unless `name` is one, ignoring letter case.
  void CheckTable(std::string_view name, const std::string& path) const {
    if (Has(name)) return;
    throw UnexpectedError(err::kDbTableNotFound,
                          "Could not find table '" + std::string(name) + "' in '" + path + "'",
                          kSource);
  }
};

JetDatabase::JetDatabase(std::unique_ptr<Handle> handle, std::string path)
    : handle_(std::move(handle)), path_(std::move(path)) {}

JetDatabase::~JetDatabase() = default;

// The reader reads the file itself: sending it the bytes cost more than opening them.
std::unique_ptr<JetDatabase> JetDatabase::Open(const std::string& path) {
  std::unique_ptr<FileSystem> fs = NewPosixFileSystem();
  auto handle = std::make_unique<Handle>(ReaderProgram(*fs), path);
  handle->tables = handle->reader.OpenFile();
  return std::unique_ptr<JetDatabase>(new JetDatabase(std::move(handle), path));
}

std::unique_ptr<JetDatabase> JetDatabase::FromBytes(std::string bytes, const std::string& path) {
  std::unique_ptr<FileSystem> fs = NewPosixFileSystem();
  auto handle = std::make_unique<Handle>(ReaderProgram(*fs), path);
  handle->tables = handle->reader.Open(bytes);
  return std::unique_ptr<JetDatabase>(new JetDatabase(std::move(handle), path));
}

std::vector<std::string> JetDatabase::TableNames() const { return handle_->tables; }

bool JetDatabase::HasTable(std::string_view name) const { return handle_->Has(name); }

std::vector<std::string> JetDatabase::ColumnNames(std::string_view table) {
  handle_->CheckTable(table, path_);
  return handle_->reader.ColumnNames(table);
}

Table JetDatabase::ReadTable(std::string_view table, const std::vector<std::string>& columns) {
  handle_->CheckTable(table, path_);
  return handle_->reader.ReadTable(table, columns);
}

}  // namespace orvano
