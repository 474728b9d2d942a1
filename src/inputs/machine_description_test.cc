#include "inputs/machine_description.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using ::testing::HasSubstr;

class MachineDescriptionTest : public ::testing::Test {
 protected:
  MachineDescriptionTest() : fs_(testing::TestTime()), path_(dir_.path() + "Orvano.doc") {}

  std::optional<MachineDescription> Read(const std::string& text) {
    testing::WriteBytes(path_, text);
    return ReadMachineDescription(fs_, path_, sink_);
  }

  testing::ScopedTempDir dir_;
  testing::FixedClockFileSystem fs_;
  std::string path_;
  testing::RecordingErrorSink sink_;
};

TEST_F(MachineDescriptionTest, ReadsValuesAndDefaults) {
  std::optional<MachineDescription> d = Read("[Setup]\r\nSections=1\r\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->reject_count + d->fault_count + d->warning_count, 50 + 256 + 256);
  EXPECT_EQ(d->screen_resolution, "1280");
  EXPECT_EQ(d->PositionCount(1, 1), -1);

  d = Read(
      "[Setup]\nAnzAuswuerfe=80\nAnzMaschinen=2\nAufloesung=800\nInterFaceWithOPC=true\n"
      "WithRejectCounter=1\nSections=2\n[Machine2]\nID=C2\n[Section_2]\nName=Out\n"
      "Machine1_count=3\nMachine2_count=0\nMachine1_Position3=Third\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->reject_count, 80);
  EXPECT_EQ(d->screen_resolution, "800");
  EXPECT_TRUE(d->interface_with_opc);
  EXPECT_FALSE(d->with_reject_counter);
  EXPECT_EQ(d->Machine(2).id, "C2");
  EXPECT_EQ(d->Section(2).name, "Out");
  EXPECT_EQ(d->PositionCount(1, 2), 3);
  EXPECT_EQ(d->PositionCount(2, 2), 0);
  EXPECT_EQ(d->PositionText(1, 2, 3), "Third");
  EXPECT_EQ(d->PositionText(1, 2, 4), "");
  EXPECT_THROW(d->Machine(3), UnexpectedError);
  EXPECT_THROW(d->PositionCount(1, 3), UnexpectedError);

  // Fewer than one section, or no file at all: nothing to generate, nothing to report.
  EXPECT_FALSE(Read("[Setup]\nSections=0\n[Machine1]\nName=Solo\n"));
  EXPECT_FALSE(ReadMachineDescription(fs_, dir_.path() + "none.doc", sink_));
  EXPECT_TRUE(sink_.failures.empty());
}

TEST_F(MachineDescriptionTest, JunkCountsNeitherCrashNorAllocateWithoutLimit) {
  std::optional<MachineDescription> d = Read("[Setup]\nAnzMaschinen=-5\nSections=1\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->machine_count, 1);
  d = Read("[Setup]\nAnzMaschinen=abc\nSections=2\n");
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->machines.empty() && d->position_counts.empty());
  EXPECT_TRUE(sink_.failures.empty());

  // Beyond 16 bits: reported, and the read goes on; the field keeps its default, a position
  // count reads 0.
  d = Read("[Setup]\nAnzMaschinen=40000\nAnzFehler=70000\nSections=1\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->machine_count, 1);
  EXPECT_EQ(d->fault_count, 256);
  d = Read("[Setup]\nSections=1\n[Section_1]\nMachine1_count=1000000000\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->PositionCount(1, 1), 0);
  ASSERT_EQ(sink_.failures.size(), 3u);
  const char* entries[] = {"AnzFehler", "AnzMaschinen", "Machine1_count"};
  for (int k = 0; k < 3; ++k) {
    testing::ExpectFailure(sink_.failures[k], "ReadOrvanoDoc", err::kOverflow, entries[k]);
  }

  // Above the limit: refused, naming file and entry.
  EXPECT_FALSE(Read("[Setup]\nAnzMaschinen=32767\nSections=1\n"));
  EXPECT_FALSE(Read("[Setup]\nAnzMaschinen=1000\nSections=32767\n"));
  ASSERT_EQ(sink_.failures.size(), 5u);
  testing::ExpectFailure(sink_.failures[3], "ReadOrvanoDoc", kProgramErrorNumber,
                         path_ +
                             ": entry AnzMaschinen of section Setup is 32767, more than the "
                             "1000 this program reads");
  EXPECT_THAT(sink_.failures[4].description, HasSubstr("entry Sections"));
  d = Read("[Setup]\nAnzMaschinen=1000\nSections=1000\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->PositionCount(1000, 1000), -1);

  sink_.end_on_failure = true;
  EXPECT_THROW((void)Read("[Setup]\nAnzFehler=99999\nSections=1\n"), EndProgram);
}

}  // namespace
}  // namespace orvano
