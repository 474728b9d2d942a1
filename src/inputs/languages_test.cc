#include "inputs/languages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/run_context.h"
#include "mdb_writer.h"
#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using tools::MdbTable;
using tools::MdbValue;
using enum tools::MdbType;
using S = std::string;
using Strings = std::vector<std::string>;

const MdbValue kNull;

MdbTable ProjectLanguages(const char* name, std::vector<std::vector<MdbValue>> rows) {
  return {name, {{"LCID", kLongInteger}, {"Font", kText}}, std::move(rows)};
}

class LanguagesTest : public ::testing::Test {
 protected:
  LanguagesTest() : fs_(testing::TestTime()) {
    testing::MakeFolders(dir_.path() + "bin");
    testing::MakeFolders(dir_.path() + "root");
    context_ = std::make_unique<RunContext>(
        fs_, host_, ProgramInfo{dir_.path() + "bin/", "gen", "", dir_.path() + "root/"});
    context_->settings.path_orvano_db = dir_.path() + "Orvano.mdb";
    context_->language.language_table = LanguageTableFor(" /p/ORVANO.Mdb ", "TcfgLanguages");
    tools::WriteMdb(
        context_->settings.path_orvano_db,
        {ProjectLanguages(
            "Tlanguages",
            {{1031, S("Arial")}, {1033, S("Tahoma,9")}, {1036, S("Arial")}, {1049, kNull}})});
    host_.continue_after_error = true;
  }

  // A FONT "0" row, two rows for 1033, a null code page for 1049, none for 1036.
  static void WriteLanguageDb(const std::string& path) {
    // clang-format off
    tools::WriteMdb(path, {{"LookUpLanguages",
        {{"Language", kLongInteger}, {"Name", kText}, {"CodePage", kLongInteger}, {"FONT", kText}},
        {{1033, S("Unused"), 1252, S("0")}, {1031, S("Deutsch"), 1252, S("Arial")},
         {1033, S("English"), 1252, S("Arial")}, {1033, S("English 2"), 437, S("Arial")},
         {1049, S("Russian"), kNull, S("Arial")}}}});
    // clang-format on
  }

  Strings Names() {
    Table list = GetLanguages_Orvano_MDB(*context_);
    Strings names;
    for (std::size_t r = 0; r < list.row_count(); ++r) names.push_back(list.TextAt(1, r));
    return names;
  }

  Strings Errors() { return host_.TakeErrorTexts(); }

  testing::ScopedTempDir dir_;
  testing::FixedClockFileSystem fs_;
  testing::RecordingHost host_;
  std::unique_ptr<RunContext> context_;
};

TEST_F(LanguagesTest, NamesLanguagesAndFindsCodePages) {
  EXPECT_EQ(Names(), (Strings{"1031", "1033", "1036", "1049"}));  // no Languages.mdb
  EXPECT_FALSE(context_->language.language_db_found);
  EXPECT_EQ(context_->settings.path_language_db, "");

  WriteLanguageDb(dir_.path() + "bin/LANGUAGES.MDB");
  EXPECT_EQ(Names(), (Strings{"Deutsch", "English", "1036", "Russian"}));
  EXPECT_EQ(context_->settings.path_language_db, dir_.path() + "bin/LANGUAGES.MDB");
  EXPECT_EQ(GetCodePage(*context_, "1033"), "1252");
  EXPECT_EQ(GetCodePage(*context_, "1036"), "-1");
  EXPECT_TRUE(Errors().empty());

  EXPECT_EQ(GetCodePage(*context_, "1049"), "-1");
  EXPECT_EQ(GetCodePage(*context_, "1033 OR 1=1"), "-1");
  Strings errors = Errors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].find("No: 94"), std::string::npos);
  EXPECT_NE(errors[0].find("Language 1049 has no code page"), std::string::npos);
  EXPECT_NE(errors[0].find("/ GetCodePage"), std::string::npos);
  EXPECT_NE(errors[1].find("not a number"), std::string::npos);

  // On the machine PC under the installation root; a .vws project uses TcfgLanguages.
  WriteLanguageDb(dir_.path() + "root/Languages.mdb");
  context_->settings.running_on_machine_pc = true;
  context_->settings.path_orvano_db = dir_.path() + "Project.vws";
  tools::WriteMdb(context_->settings.path_orvano_db,
                  {ProjectLanguages("TcfgLanguages", {{1031, S("Arial")}})});
  context_->language.language_table = LanguageTableFor(context_->settings.path_orvano_db, "");
  EXPECT_EQ(Names(), (Strings{"Deutsch"}));
  EXPECT_EQ(context_->settings.path_language_db, dir_.path() + "root/Languages.mdb");

  testing::WriteBytes(context_->settings.path_language_db, "junk");
  EXPECT_EQ(Names(), (Strings{"1031"}));
  EXPECT_EQ(GetCodePage(*context_, "1031"), "-1");
  errors = Errors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[1].find("Not a database: " + context_->settings.path_language_db),
            std::string::npos);
  context_->settings.silent = true;
  EXPECT_THROW(GetCodePage(*context_, "1031"), EndProgram);
}

TEST_F(LanguagesTest, BadLanguageTablesAreReported) {
  WriteLanguageDb(dir_.path() + "bin/Languages.mdb");
  const std::vector<std::pair<MdbTable, std::string>> cases = {
      {ProjectLanguages("Tlanguages", {}), "No languages in table 'Tlanguages' of '"},
      {ProjectLanguages("Other", {{1, kNull}}), "No: 3078"},
      {{"Tlanguages", {{"LCID", kLongInteger}}, {{1031}}}, "No: 3061"},
  };
  for (const auto& [table, message] : cases) {
    SCOPED_TRACE(message);
    tools::WriteMdb(context_->settings.path_orvano_db, {table});
    EXPECT_TRUE(Names().empty());
    Strings errors = Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(message), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find(context_->settings.path_orvano_db), std::string::npos);
    EXPECT_TRUE(context_->language.language_db_found);
  }
}

}  // namespace
}  // namespace orvano
