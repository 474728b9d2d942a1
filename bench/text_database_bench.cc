// Times reading a large text database into TextTable against mdb-export writing the same two
// tables to /dev/null, in one run on one file. Usage: text_database_bench [texts] [folder]
// (defaults: 100000 texts, /tmp/). Prints both times (best of several rounds), the ratio, and the
// share of the read spent joining and sorting. Exits 2 when the ratio exceeds 1.5.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inputs/text_database.h"
#include "jet/jet_database.h"
#include "mdb_writer.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "support/file_system.h"

namespace {

using orvano::tools::MdbTable;
using orvano::tools::MdbType;
using orvano::tools::MdbValue;

constexpr int kRounds = 7;

// Prints each failure to stderr and lets the read go on to its end (which then fails).
class PrintingErrorSink final : public orvano::ErrorSink {
 public:
  void ReportFailure(std::string_view procedure) override {
    std::string description = "unknown error";
    try {
      throw;
    } catch (const std::exception& e) {
      description = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(procedure.size()), procedure.data(),
                 description.c_str());
  }
  void Note(orvano::ProblemKind, std::string_view) override {}
  void KeepResponsive() override {}
};

// A group tree of 10 roots with 4 children per group, six levels deep (13650 groups), and
// `text_count` texts spread over all groups, with three languages.
std::vector<MdbTable> BuildProject(int text_count) {
  MdbTable groups{"TidxGroups",
                  {{"ID", MdbType::kLongInteger},
                   {"ParentID", MdbType::kLongInteger},
                   {"Name", MdbType::kText}},
                  {}};
  std::vector<std::int64_t> level;
  std::int64_t next_id = 1;
  for (int r = 0; r < 10; ++r) {
    groups.rows.push_back({next_id, MdbValue{}, "Root" + std::to_string(r)});
    level.push_back(next_id++);
  }
  for (int depth = 1; depth < 6; ++depth) {
    std::vector<std::int64_t> below;
    for (std::int64_t parent : level) {
      for (int c = 0; c < 4; ++c) {
        groups.rows.push_back(
            {next_id, parent, "Group" + std::to_string(depth) + "_" + std::to_string(c)});
        below.push_back(next_id++);
      }
    }
    level = std::move(below);
  }
  MdbTable texts{"TidxTexts",
                 {{"ParentID", MdbType::kLongInteger},
                  {"Name", MdbType::kText},
                  {"L1031", MdbType::kMemo},
                  {"L1033", MdbType::kMemo},
                  {"L1036", MdbType::kMemo}},
                 {}};
  const auto group_count = static_cast<std::int64_t>(groups.rows.size());
  for (int t = 0; t < text_count; ++t) {
    // A multiplicative step scatters the texts over the tree instead of filling it in order.
    std::int64_t group = 1 + (static_cast<std::int64_t>(t) * 7919) % group_count;
    std::string n = std::to_string(t);
    texts.rows.push_back({group, "Text" + n, "Meldung Nummer " + n + " der Anlage",
                          "Message number " + n + " of the plant",
                          "Message numero " + n + " de l'installation"});
  }
  return {std::move(groups), std::move(texts)};
}

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

}  // namespace

int main(int argc, char** argv) {
  const int text_count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::string folder = argc > 2 ? orvano::WithTrailingSlash(argv[2]) : "/tmp/";
  const std::string path = folder + "orvano_text_bench.mdb";

  std::unique_ptr<orvano::FileSystem> fs = orvano::NewPosixFileSystem();
  orvano::tools::WriteMdb(*fs, path, BuildProject(text_count));

  const std::string command = "mdb-export '" + path + "' TidxGroups > /dev/null && mdb-export '" +
                              path + "' TidxTexts > /dev/null";
  PrintingErrorSink errors;

  // The machine may be shared: the two contenders take turns, and each keeps its best round.
  double export_seconds = 1e300;
  double read_seconds = 1e300;
  double join_seconds = 1e300;
  std::size_t rows = 0;
  for (int round = 0; round < kRounds; ++round) {
    int status = 0;
    export_seconds =
        std::min(export_seconds, Seconds([&] { status = std::system(command.c_str()); }));
    if (status != 0) {
      std::fprintf(stderr, "mdb-export failed (is mdbtools installed?)\n");
      return 1;
    }
    orvano::TextTable texts;
    read_seconds = std::min(read_seconds, Seconds([&] {
                              std::optional<orvano::TextTable> read =
                                  orvano::ReadTextDatabase(path, "1033", errors);
                              if (!read) std::exit(1);
                              texts = std::move(*read);
                            }));
    rows = 0;
    for (const auto& depth : texts.addresses->depths) rows += depth.size();

    // The share of the work that is ours rather than libmdb's.
    auto database = orvano::JetDatabase::Open(path);
    orvano::Table groups = database->ReadTable("TidxGroups", {"ID", "ParentID", "Name"});
    orvano::Table text_rows = database->ReadTable("TidxTexts", {"ParentID", "Name", "L1033"});
    orvano::TextTable joined;  // freed outside the timing, as the rows it is made from
    join_seconds =
        std::min(join_seconds, Seconds([&] {
                   joined = orvano::JoinTextDepths(groups, std::move(text_rows), path, nullptr);
                 }));
  }

  std::printf("texts: %d, TextTable rows: %zu\n", text_count, rows);
  std::printf("mdb-export TidxGroups + TidxTexts: %.3f s\n", export_seconds);
  std::printf("ReadTextDatabase:                  %.3f s\n", read_seconds);
  std::printf("  of which joining and sorting:    %.3f s\n", join_seconds);
  std::printf("ratio: %.2f (limit 1.5)\n", read_seconds / export_seconds);
  fs->RemoveFile(path);
  return read_seconds <= 1.5 * export_seconds ? 0 : 2;
}
