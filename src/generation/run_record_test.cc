#include "generation/run_record.h"

#include <gtest/gtest.h>

#include "generation/recorded_work.h"
#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

TEST(RunRecordTest, CheckLinesAreSortedOnceEachWithCounts) {
  RunRecord record;
  record.languages.resize(2);
  record.languages[0].id = "1049";
  record.languages[0].complete = true;
  record.languages[1].id = "1031";
  ProblemList& first = record.languages[0].problems;
  first.AddNote(ProblemKind::kNote, "Indextext not found: B");
  first.AddNote(ProblemKind::kNote, "Indextext not found: B");  // the detail twin notes it again
  // Positions sort by number: lines, and a sheet's cells row by row.
  for (const char* place : {"Source_Section.htm:42", "Source_Section.htm:9", "Source_Section.htm",
                            "c.xls:Drives!C10", "c.xls:Drives!AA9", "c.xls:Drives!D9"}) {
    first.problems.push_back({ProblemKind::kWarning, place, "Address formula"});
  }
  record.languages[1].problems.AddError("", "Error reading Orvano.doc");
  EXPECT_EQ(
      "Source_Section.htm: warning: Address formula\n"
      "Source_Section.htm:9: warning: Address formula\n"
      "Source_Section.htm:42: warning: Address formula\n"
      "c.xls:Drives!D9: warning: Address formula\n"
      "c.xls:Drives!AA9: warning: Address formula\n"
      "c.xls:Drives!C10: warning: Address formula\n"
      "language 1031: error: Error reading Orvano.doc\n"
      "language 1049: note: Indextext not found: B\n"
      "check: 1 error, 6 warnings, 1 note; 1 of 2 languages built to the end\n",
      CheckModeLines(record));
}

// (What a run writes and a check would write is listed exactly by the build job's report:
// tests/e2e.)
TEST(RunRecordTest, RecordedNotesKeepTheirPlaceAndKindWhenReplayed) {
  RecordedWork work;
  {
    PlaceScope at(work, {"Drives", "c.xls", 17, 2});
    work.Note(ProblemKind::kWarning, "Address formula not valid: X");
  }
  work.Note(ProblemKind::kNote, "Table not found: Y");
  testing::RecordingErrorSink target;
  auto fs = NewPosixFileSystem();
  work.Replay({target, *fs, nullptr}, [] {});
  EXPECT_EQ((std::vector<std::string>{"Address formula not valid: X", "Table not found: Y"}),
            target.notes);
  EXPECT_EQ((std::vector<ProblemKind>{ProblemKind::kWarning, ProblemKind::kNote}),
            target.note_kinds);
  EXPECT_EQ((std::vector<std::string>{"c.xls:Drives!C17", ""}), target.note_places);
  EXPECT_EQ("", PlaceText(target.place()));
}

}  // namespace
}  // namespace orvano
