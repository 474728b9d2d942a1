#include "generation/language_selection.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

std::vector<ProjectLanguage> Languages() {
  return {{Cell(1031.0), "Deutsch", ""},
          {Cell(1033.0), "English", ""},
          {Cell(1031.0), "Deutsch again", ""},
          {Cell(std::string("1049")), "Russian", ""}};
}

std::string ErrorOf(std::string_view value, const std::vector<ProjectLanguage>& languages) {
  return testing::ProgramErrorOf([&] { SelectLanguages(value, languages); });
}

TEST(LanguageSelectionTest, AllAndListsGiveTheTablesIdsOnceEachWithOwnFolders) {
  LanguageSelection all = SelectLanguages("ALL", Languages());
  EXPECT_EQ((std::vector<std::string>{"1031", "1033", "1049"}), all.ids);
  EXPECT_TRUE(all.has_language_folders);
  EXPECT_EQ(all.ids, SelectLanguages(" all ", Languages()).ids);

  LanguageSelection list = SelectLanguages("1049, 1031.0,1031,1049", Languages());
  EXPECT_EQ((std::vector<std::string>{"1049", "1031"}), list.ids);
  EXPECT_TRUE(list.has_language_folders);
}

TEST(LanguageSelectionTest, OneIdIsTakenAsItStandsIntoTheDestinationItself) {
  LanguageSelection one = SelectLanguages("1033", {});
  EXPECT_EQ((std::vector<std::string>{"1033"}), one.ids);
  EXPECT_FALSE(one.has_language_folders);
  EXPECT_EQ((std::vector<std::string>{""}), SelectLanguages("", Languages()).ids);
}

TEST(LanguageSelectionTest, BadListsAreRefusedNamingTheEntry) {
  EXPECT_EQ("Language not found: 1050", ErrorOf("1031,1050", Languages()));
  EXPECT_EQ("Language list not valid: 1031,", ErrorOf("1031,", Languages()));
  EXPECT_EQ("Language not selected!", ErrorOf("ALL", {}));
  EXPECT_EQ("Language id not usable as a folder name: ../x",
            ErrorOf("ALL", {{Cell(std::string("../x")), "x", ""}}));
}

}  // namespace
}  // namespace orvano
