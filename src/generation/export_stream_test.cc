#include "generation/export_stream.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

// A file system whose files written in parts fail at their `fail_at`-th part.
class FailingWritesFileSystem : public testing::FixedClockFileSystem {
 public:
  FailingWritesFileSystem() : FixedClockFileSystem(testing::TestTime()) {}

  std::unique_ptr<PendingFile> StartFileIfChanged(const std::string& path) override {
    return std::make_unique<Failing>(real_->StartFileIfChanged(path), path, fail_at);
  }

  int fail_at = 0;

 private:
  class Failing final : public PendingFile {
   public:
    Failing(std::unique_ptr<PendingFile> file, std::string path, int fail_at)
        : file_(std::move(file)), path_(std::move(path)), left_(fail_at) {}
    void Append(std::string_view bytes) override {
      if (--left_ == 0) throw UnexpectedError(err::kPathFileAccess, "Disk full: " + path_);
      file_->Append(bytes);
    }
    void Commit() override { file_->Commit(); }

   private:
    std::unique_ptr<PendingFile> file_;
    std::string path_;
    int left_;
  };
};

Allocation ThreeLanguages() {
  Allocation allocation;
  for (const char* id : {"1031", "1033", "1049"}) {
    LanguageAllocation& language = allocation.languages.emplace_back();
    language.language = id;
    for (const char* file : {"Drives.htm", "Drives_d.htm"}) {
      AllocationRow row;
      row.section = "Drives";
      row.origin = {"Collection.xls", "Drives", 17, 0, 0};
      row.font_class = "12";
      row.cells = {"12", "", std::string("A100.1 ") + id};
      language.pages.push_back({file, AllocationPageKind::kSection, "Drives", "", {row}});
    }
  }
  allocation.languages[1].pages.clear();  // a language without pages
  return allocation;
}

// The languages' pages come as the run builds them, the later languages' first; the file has
// them in the languages' order, as the whole export's text would.
TEST(ExportStreamTest, LanguagesAreWrittenInTheirOrderWhateverOrderTheyCome) {
  testing::ScopedTempDir dir;
  FailingWritesFileSystem fs;
  const std::vector<InputFile> inputs = {{"workbook", "/p/Collection.xls", "xls", 6144}};
  const Allocation allocation = ThreeLanguages();
  for (ExportLayout layout : {ExportLayout{ExportFormat::kJson, 0}, {ExportFormat::kCsv, 3}}) {
    const std::string path =
        dir.path() + (layout.format == ExportFormat::kCsv ? "rows.csv" : "rows.json");
    ExportStream stream(fs, path, layout, {"1031", "1033", "1049"}, inputs, "1.0");
    for (std::size_t l : {2, 0}) {
      for (const AllocationPage& page : allocation.languages[l].pages) {
        std::string text;
        AppendPageExport(layout, allocation.languages[l].language, page, &text);
        stream.Add(l, std::move(text));
      }
    }
    EXPECT_FALSE(fs.IsFile(path));
    stream.Finish();
    EXPECT_EQ(ExportText(layout, allocation, inputs, "1.0"), testing::ReadBytes(path));
  }
}

// A part that cannot be written fails the export when it is finished, and the export before it
// stays; nothing else is left beside it, neither when finished nor when the run stops.
TEST(ExportStreamTest, AFailureLeavesTheExportBeforeIt) {
  testing::ScopedTempDir dir;
  FailingWritesFileSystem fs;
  const std::string path = dir.path() + "rows.json";
  fs.WriteFileAtomically(path, "before");
  fs.fail_at = 3;
  {
    ExportStream stream(fs, path, {}, {"1031"}, {}, "1.0");
    stream.Add(0, ",\n{}");
    const testing::Thrown thrown = testing::ThrownBy([&] { stream.Finish(); });
    EXPECT_EQ("Disk full: " + path, thrown.description);
  }
  { ExportStream stopped(fs, dir.path() + "other.json", {}, {"1031"}, {}, "1.0"); }
  EXPECT_EQ("before", testing::ReadBytes(path));
  EXPECT_EQ(1U, fs.ListFolder(dir.path()).size());
}

}  // namespace
}  // namespace orvano
