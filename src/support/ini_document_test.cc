#include "support/ini_document.h"

#include <gtest/gtest.h>

#include <random>

#include "support/errors.h"

namespace orvano {
namespace {

std::string SetOrFail(std::string bytes, std::string_view section, std::string_view entry,
                      std::string_view value) {
  IniDocument doc = IniDocument::Parse(std::move(bytes));
  try {
    doc.Set(section, entry, value);
  } catch (const ProgramError& e) {
    ADD_FAILURE() << e.description();
  }
  return doc.bytes();
}

TEST(IniDocument, ReadsWithPrivateProfileRules) {
  IniDocument doc = IniDocument::Parse(
      "Top=before any section\r\n[ Setup ]\r\n  AnzMaschinen =  3 \t\r\n; Sections=9\r\n"
      "no equals sign\nQuoted=\"  a b  \"\rSingle='x'\r\nMixed=\"x'\r\nEmpty=\r\n"
      "Sections=2\r\nsections=7\r\n[Broken\r\nOrphan=1\r\n[setup]\r\nLate=1\r\n"
      "[Machine1] comment\r\nName=a=b");
  EXPECT_EQ("3", doc.Find(" setup\t", "ANZMASCHINEN"));
  EXPECT_EQ("  a b  ", doc.Find("Setup", "Quoted"));
  EXPECT_EQ("x", doc.Find("Setup", "Single"));
  EXPECT_EQ("\"x'", doc.Find("Setup", "Mixed"));
  EXPECT_EQ("", doc.Find("Setup", "Empty"));
  EXPECT_EQ("2", doc.Find("Setup", "Sections"));  // first entry wins
  EXPECT_EQ("a=b", doc.Find("Machine1", "Name"));
  EXPECT_EQ(std::nullopt, doc.Find("Setup", "; Sections"));
  EXPECT_EQ(std::nullopt, doc.Find("Setup", "Top"));
  EXPECT_EQ(std::nullopt, doc.Find("Setup", "Orphan"));  // a broken header ends the section
  EXPECT_EQ(std::nullopt, doc.Find("Setup", "Late"));    // the first section of a name wins
  EXPECT_EQ(std::nullopt, doc.Find("Nothing", "Name"));
}

TEST(IniDocument, DecodesEachEncoding) {
  EXPECT_EQ("\xC3\xA4", IniDocument::Parse("[S]\nk=\xE4").Find("S", "K"));  // cp1252
  EXPECT_EQ("1", IniDocument::Parse("\xEF\xBB\xBF[S]\nk=1").Find("S", "K"));
  EXPECT_EQ(
      "\xE2\x82\xAC",
      IniDocument::Parse(std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0\xAC\x20", 16)).Find("s", "k"));
  // UTF-16 without BOM is not guessed: the names are not found.
  EXPECT_EQ(std::nullopt,
            IniDocument::Parse(std::string("[\0S\0]\0\n\0k\0=\0001\0", 14)).Find("S", "k"));
}

TEST(IniDocument, EditsChangeOnlyTheEntryLine) {
  // Mixed line ends, a comment and bytes invalid in the file's encoding stay byte for byte.
  const std::string head = "\xEF\xBB\xBF; \xFF\xFE junk\n[A]\r\n Key = old \rOther=1\r\n";
  EXPECT_EQ(head.substr(0, head.find('=') + 1) + "new" + "\rOther=1\r\n",
            SetOrFail(head, "a", "KEY", "new"));
  EXPECT_EQ("[A]\r\nx=1\r\ny=2\r\n; tail\r\n\r\n[B]\r\n",
            SetOrFail("[A]\r\nx=1\r\n; tail\r\n\r\n[B]\r\n", "A", "y", "2"));
  EXPECT_EQ("[B]\r\nk=v\r\n[A]\r\n", SetOrFail("[B]\r\n[A]\r\n", "B", "k", "v"));
  EXPECT_EQ("[A]\nx=1\ny=2\n", SetOrFail("[A]\nx=1", "A", "y", "2"));
  EXPECT_EQ("[A]\nx=1\n[S]\nk= v \n", SetOrFail("[A]\nx=1", "S", "k", " v "));
  EXPECT_EQ("[S]\r\nk=v\r\n", SetOrFail("", "S", "k", "v"));
  EXPECT_EQ("[S]\r\nk=1\r\nk=2\r\n", SetOrFail("[S]\r\nk=0\r\nk=2\r\n", "S", "K", "1"));
  EXPECT_EQ(std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\r\0\n\0", 22),
            SetOrFail(std::string("\xFF\xFE", 2), "S", "k", "\xC3\xA4"));
  EXPECT_EQ("[S]\r\nk=\xE4\r\nm=\x80\r\n",
            SetOrFail("[S]\r\nk=\xE4\r\n", "S", "m", "\xE2\x82\xAC"));
}

TEST(IniDocument, RefusesEditsThatWouldDamageTheFile) {
  auto refused = [](std::string bytes, std::string_view section, std::string_view entry,
                    std::string_view value) {
    IniDocument doc = IniDocument::Parse(bytes);
    std::string why;
    try {
      doc.Set(section, entry, value);
    } catch (const ProgramError& e) {
      why = e.description();
    }
    EXPECT_EQ(bytes, doc.bytes());
    return !why.empty();
  };
  EXPECT_TRUE(refused("", "S", "k", "a\r\nInjected=1"));
  EXPECT_TRUE(refused("", "S", "k=x", "1"));
  EXPECT_TRUE(refused("", "S]x", "k", "1"));
  EXPECT_TRUE(refused("", "S", "k", "\xFF"));
  EXPECT_TRUE(refused("[S]\nk=\xE4\n", "S", "k", "\xE4\xB8\xAD"));  // no cp1252 form
  // A cp1252 file that would become valid UTF-8, so that m would read differently.
  EXPECT_TRUE(refused("[S]\nk=\xE4\nm=\xC3\xA4\n", "S", "k", "x"));
  // An odd last byte of UTF-16 text would shift every unit appended after it.
  EXPECT_TRUE(refused(std::string("\xFF\xFE[\0S\0]\0X", 9), "T", "k", "1"));
}

TEST(IniDocument, SurvivesJunkAndHugeLines) {
  std::mt19937 random(7);
  int edited = 0;
  for (int round = 0; round < 200; ++round) {
    std::string junk(random() % 600, '\0');
    for (char& c : junk) c = static_cast<char>("[]=;\r\n\xFF\xFE\xEF\x01 ab"[random() % 14]);
    IniDocument doc = IniDocument::Parse(junk);
    EXPECT_EQ(std::nullopt, doc.Find("Setup", "Sections"));
    // An edit reads back; one that is refused leaves every byte as it was.
    try {
      doc.Set("Setup", "Sections", "3");
      EXPECT_EQ("3", doc.Find("Setup", "Sections"));
      ++edited;
    } catch (const ProgramError&) {
      EXPECT_EQ(junk, doc.bytes());
    }
  }
  // Junk is edited like any other file: the refusals are the rare files whose encoding an
  // appended line would change.
  EXPECT_GT(edited, 150);
  const std::string huge(100000, 'v');
  EXPECT_EQ(huge, IniDocument::Parse("[S]\nk=" + huge + "\n").Find("S", "k"));
  EXPECT_EQ("[S]\nk=1\n", SetOrFail("[S]\nk=" + huge + "\n", "S", "k", "1"));
}

}  // namespace
}  // namespace orvano
