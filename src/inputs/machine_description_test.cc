#include "inputs/machine_description.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/run_context.h"
#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

class MachineDescriptionTest : public ::testing::Test {
 protected:
  MachineDescriptionTest() : fs_(testing::TestTime()) {
    context_ = std::make_unique<RunContext>(fs_, host_, ProgramInfo{dir_.path(), "gen", "", ""});
    context_->settings.path_orvano_doc = dir_.path() + "Orvano.doc";
    host_.continue_after_error = true;
  }

  int Read(const std::string& text) {
    testing::WriteBytes(context_->settings.path_orvano_doc, text);
    return ReadOrvanoDoc(*context_);
  }
  const MachineDescription& d() const { return context_->description; }
  std::string ErrorText(std::size_t i) { return host_.CallsOf("error").at(i).text; }

  testing::ScopedTempDir dir_;
  testing::FixedClockFileSystem fs_;
  testing::RecordingHost host_;
  std::unique_ptr<RunContext> context_;
};

TEST_F(MachineDescriptionTest, ReadsValuesAndDefaults) {
  ASSERT_EQ(Read("[Setup]\r\nSections=1\r\n"), 1);
  EXPECT_EQ(d().reject_count + d().fault_count + d().warning_count, 50 + 256 + 256);
  EXPECT_EQ(d().screen_resolution, "1280");
  EXPECT_EQ(d().PositionCount(1, 1), -1);

  ASSERT_EQ(Read("[Setup]\nAnzAuswuerfe=80\nAnzMaschinen=2\nAufloesung=800\nInterFaceWithOPC=true\n"
                 "WithRejectCounter=1\nSections=2\n[Machine2]\nID=C2\n[Section_2]\nName=Out\n"
                 "Machine1_count=3\nMachine2_count=0\n"),
            1);
  EXPECT_EQ(d().reject_count, 80);
  EXPECT_EQ(d().screen_resolution, "800");
  EXPECT_TRUE(d().interface_with_opc);
  EXPECT_FALSE(d().with_reject_counter);
  EXPECT_EQ(d().Machine(2).id, "C2");
  EXPECT_EQ(d().Section(2).name, "Out");
  EXPECT_EQ(d().PositionCount(1, 2), 3);
  EXPECT_EQ(d().PositionCount(2, 2), 0);

  // Fewer than one section: the machines are read again, the sections stay from before.
  EXPECT_EQ(Read("[Setup]\nSections=0\n[Machine1]\nName=Solo\n"), -1);
  EXPECT_EQ(d().Machine(1).name, "Solo");
  EXPECT_EQ(d().sections.size(), 2u);
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(MachineDescriptionTest, JunkCountsNeitherCrashNorAllocateWithoutLimit) {
  ASSERT_EQ(Read("[Setup]\nAnzMaschinen=-5\nSections=1\n"), 1);
  EXPECT_EQ(d().machine_count, 1);
  ASSERT_EQ(Read("[Setup]\nAnzMaschinen=abc\nSections=2\n"), 1);
  EXPECT_TRUE(d().machines.empty() && d().position_counts.empty());
  EXPECT_TRUE(host_.calls.empty());

  // Beyond 16 bits: reported; the field keeps its value, a position count reads 0.
  ASSERT_EQ(Read("[Setup]\nAnzMaschinen=40000\nSections=1\n"), 1);
  EXPECT_EQ(d().machine_count, 0);
  ASSERT_EQ(Read("[Setup]\nSections=1\n[Section_1]\nMachine1_count=1000000000\n"), 1);
  EXPECT_EQ(d().PositionCount(1, 1), 0);
  EXPECT_NE(ErrorText(0).find("No: 6"), std::string::npos);
  EXPECT_NE(ErrorText(0).find("AnzMaschinen"), std::string::npos);
  EXPECT_NE(ErrorText(1).find("Machine1_count"), std::string::npos);

  // Above the limit: refused, naming file and entry.
  EXPECT_EQ(Read("[Setup]\nAnzMaschinen=32767\nSections=1\n"), -1);
  EXPECT_EQ(ErrorText(2), "Error!\n\r" + context_->settings.path_orvano_doc +
                              ": entry AnzMaschinen of section Setup is 32767, more than the 1000 "
                              "this program reads\n\rContinue?");
  EXPECT_EQ(Read("[Setup]\nAnzMaschinen=1000\nSections=32767\n"), -1);
  EXPECT_NE(ErrorText(3).find("entry Sections"), std::string::npos);
  EXPECT_EQ(Read("[Setup]\nAnzMaschinen=1000\nSections=1000\n"), 1);
  EXPECT_EQ(d().PositionCount(1000, 1000), -1);

  context_->settings.silent = true;
  EXPECT_THROW(Read("[Setup]\nAnzFehler=99999\nSections=1\n"), EndProgram);
}

}  // namespace
}  // namespace orvano
