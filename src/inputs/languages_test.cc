#include "inputs/languages.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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
    tools::WriteMdb(
        database_,
        {ProjectLanguages(
            "Tlanguages",
            {{1031, S("Arial")}, {1033, S("Tahoma,9")}, {1036, S("Arial")}, {1049, kNull}})});
  }

  // A FONT "0" row and two more rows for 1033, a null code page for 1049, none for 1036, a code
  // page for 1040 that names none.
  static void WriteLanguageDb(const std::string& path) {
    // clang-format off
    tools::WriteMdb(path, {{"LookUpLanguages",
        {{"Language", kLongInteger}, {"Name", kText}, {"CodePage", kLongInteger}, {"FONT", kText}},
        {{1033, S("Unused"), 437, S("0")}, {1031, S("Deutsch"), 1252, S("Arial")},
         {1033, S("English"), 1252, S("Arial")}, {1033, S("English 2"), 850, S("Arial")},
         {1049, S("Russian"), kNull, S("Arial")}, {1040, kNull, -1, S("Arial")}}}});
    // clang-format on
  }

  std::vector<ProjectLanguage> Read(const std::optional<std::string>& language_db,
                                    std::string_view table = "Tlanguages") {
    return ReadProjectLanguages(database_, table, language_db, sink_);
  }

  static Strings Names(const std::vector<ProjectLanguage>& languages) {
    Strings names;
    for (const ProjectLanguage& language : languages) names.push_back(language.display_name);
    return names;
  }

  testing::ScopedTempDir dir_;
  testing::FixedClockFileSystem fs_;
  const std::string database_ = dir_.path() + "Orvano.mdb";
  testing::RecordingErrorSink sink_;
};

TEST_F(LanguagesTest, NamesLanguagesAndFindsCodePages) {
  const std::string folder = dir_.path() + "bin/";
  EXPECT_EQ(FindLanguageDatabase(fs_, folder), std::nullopt);
  std::vector<ProjectLanguage> languages = Read(std::nullopt);
  EXPECT_EQ(Names(languages), (Strings{"1031", "1033", "1036", "1049"}));
  ASSERT_EQ(languages.size(), 4u);
  EXPECT_EQ(languages[1].id, Cell(1033.0));
  EXPECT_EQ(languages[1].font_spec, "Tahoma,9");
  EXPECT_EQ(languages[3].font_spec, "");

  WriteLanguageDb(folder + "LANGUAGES.MDB");
  const std::optional<std::string> language_db = FindLanguageDatabase(fs_, folder);
  ASSERT_EQ(language_db, folder + "LANGUAGES.MDB");
  EXPECT_EQ(Names(Read(language_db)), (Strings{"Deutsch", "English", "1036", "Russian"}));
  EXPECT_EQ(ReadCodePage(*language_db, "1033", sink_), 437);  // FONT "0" rows count here
  EXPECT_EQ(ReadCodePage(*language_db, "1031.0", sink_), 1252);
  EXPECT_EQ(ReadCodePage(*language_db, "1036", sink_), std::nullopt);
  EXPECT_EQ(ReadCodePage(*language_db, "1040", sink_), std::nullopt);
  EXPECT_TRUE(sink_.failures.empty());

  EXPECT_EQ(ReadCodePage(*language_db, "1049", sink_), std::nullopt);
  EXPECT_EQ(ReadCodePage(*language_db, "1033 OR 1=1", sink_), std::nullopt);
  ASSERT_EQ(sink_.failures.size(), 2u);
  testing::ExpectFailure(sink_.failures[0], "GetCodePage", err::kInvalidUseOfNull,
                         "Language 1049 has no code page");
  testing::ExpectFailure(sink_.failures[1], "GetCodePage", err::kDbTooFewParameters,
                         "not a number");

  // A damaged language database: the names stay the ids, the code page is none.
  sink_.failures.clear();
  testing::WriteBytes(*language_db, "junk");
  EXPECT_EQ(Names(Read(language_db)), (Strings{"1031", "1033", "1036", "1049"}));
  EXPECT_EQ(ReadCodePage(*language_db, "1031", sink_), std::nullopt);
  ASSERT_EQ(sink_.failures.size(), 2u);
  EXPECT_EQ(sink_.failures[0].procedure, "GetLanguages_Orvano_MDB");
  EXPECT_EQ(sink_.failures[1].procedure, "GetCodePage");
  EXPECT_NE(sink_.failures[1].description.find("Not a database: " + *language_db),
            std::string::npos);
  sink_.end_on_failure = true;
  EXPECT_THROW((void)ReadCodePage(*language_db, "1031", sink_), EndProgram);
}

TEST_F(LanguagesTest, BadLanguageTablesAreReported) {
  const std::string language_db = dir_.path() + "bin/Languages.mdb";
  WriteLanguageDb(language_db);
  const std::vector<std::pair<MdbTable, std::string>> cases = {
      {ProjectLanguages("Tlanguages", {}), "No languages in table 'Tlanguages' of '"},
      {ProjectLanguages("Other", {{1, kNull}}), "Tlanguages"},
      {{"Tlanguages", {{"LCID", kLongInteger}}, {{1031}}}, "Font"},
  };
  const int numbers[] = {kProgramErrorNumber, err::kDbTableNotFound, err::kDbTooFewParameters};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& [table, message] = cases[i];
    SCOPED_TRACE(message);
    sink_.failures.clear();
    tools::WriteMdb(database_, {table});
    EXPECT_TRUE(Read(language_db).empty());
    ASSERT_EQ(sink_.failures.size(), 1u);
    testing::ExpectFailure(sink_.failures[0], "GetLanguages_Orvano_MDB", numbers[i], message);
    EXPECT_NE(sink_.failures[0].description.find(database_), std::string::npos);
  }
}

TEST(LanguageIdTest, ComparesIdsAsNumbersWhenBothAreNumbers) {
  EXPECT_TRUE(SameLanguageId(Cell(1033.0), Cell(std::string("1033"))));
  EXPECT_TRUE(SameLanguageId(Cell(std::string("1033.0")), Cell(std::string(" 1033"))));
  EXPECT_FALSE(SameLanguageId(Cell(std::string("en")), Cell(std::string("EN"))));
  EXPECT_TRUE(SameLanguageId(Cell(std::string("en")), Cell(std::string("en"))));
  EXPECT_FALSE(SameLanguageId(Cell(), Cell()));
  EXPECT_EQ(LanguageTableFor(" /p/ORVANO.Mdb ", "TcfgLanguages"), "Tlanguages");
  EXPECT_EQ(LanguageTableFor("/p/db.vws", ""), "TcfgLanguages");
  EXPECT_EQ(LanguageTableFor("/p/db.accdb", "Current"), "Current");
}

}  // namespace
}  // namespace orvano
