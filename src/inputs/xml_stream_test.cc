#include "inputs/xml_stream.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "support/byte_reader.h"

namespace orvano {
namespace {

// Keeps every event as a line: "<name attr=value ...", ">name", and "'text" for the character
// data between two element events, however many pieces it came in.
class RecordingHandler final : public XmlHandler {
 public:
  void StartElement(std::string_view name, const XmlAttributes& attributes) override {
    Flush();
    events += "<" + std::string(name);
    for (const char** p = attributes.pairs(); *p != nullptr; p += 2) {
      events += " " + std::string(p[0]) + "=" + p[1];
    }
    events += "\n";
    if (name == refuse) throw std::runtime_error("refused " + refuse);
  }
  void EndElement(std::string_view name) override {
    Flush();
    events += ">" + std::string(name) + "\n";
  }
  void Characters(std::string_view piece) override { text += piece; }
  void Flush() {
    if (!text.empty()) events += "'" + text + "\n";
    text.clear();
  }

  std::string events;
  std::string text;
  std::string refuse;  // an element whose start the handler throws at
};

// The events of `document` fed in pieces of `piece` bytes, or the DataError's message.
std::string Events(std::string_view document, std::size_t piece = 1 << 20) {
  RecordingHandler handler;
  try {
    XmlStreamParser parser(handler);
    for (std::size_t at = 0; at < document.size(); at += piece) {
      parser.Feed(document.substr(at, piece));
    }
    parser.Finish();
  } catch (const DataError& e) {
    return e.what();
  }
  handler.Flush();
  return handler.events;
}

TEST(XmlStreamTest, EventsDoNotDependOnWhereTheChunksEnd) {
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<x:sst xmlns:x=\"urn:x\" xmlns:r=\"urn:r\"><x:si r:id=\"7\" id=\"&lt;8&gt;\">"
      "<x:t>a &amp; b &#x416;\xC3\xA9<![CDATA[<c>]]></x:t></x:si><empty/></x:sst>";
  const std::string expected =
      "<sst xmlns:x=urn:x xmlns:r=urn:r\n<si r:id=7 id=<8>\n<t\n'a & b \xD0\x96\xC3\xA9<c>\n"
      ">t\n>si\n<empty\n>empty\n>sst\n";
  EXPECT_EQ(Events(document), expected);
  for (std::size_t piece = 1; piece < 40; ++piece) {
    EXPECT_EQ(Events(document, piece), expected) << piece;
  }
  EXPECT_EQ(LocalName("x:row"), "row");
  EXPECT_EQ(LocalName("row"), "row");
}

TEST(XmlStreamTest, FindsAttributesByLocalNameWithOrWithoutPrefix) {
  const char* pairs[] = {"r:id", "prefixed", "id", "plain", "name", "n", nullptr};
  const XmlAttributes attributes(pairs);
  EXPECT_STREQ(attributes.Find("id", true), "prefixed");
  EXPECT_STREQ(attributes.Find("id"), "plain");
  EXPECT_STREQ(attributes.Find("name"), "n");
  EXPECT_EQ(attributes.Find("name", true), nullptr);
  EXPECT_EQ(attributes.Find("r"), nullptr);
}

TEST(XmlStreamTest, RefusesMalformedXmlAndDocumentTypesNamingThePlace) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "line 1, column 1: not well-formed XML (no element found)"},
      {"<a>", "line 1, column 4: not well-formed XML (no element found)"},
      {"<a>\n<b></a>", "line 2, column 6: not well-formed XML (mismatched tag)"},
      {"<a/><b/>", "line 1, column 5: not well-formed XML (junk after document element)"},
      {"<a>&nbsp;</a>", "line 1, column 4: not well-formed XML (undefined entity)"},
      {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a/>",
       "line 1, column 31: not well-formed XML (unknown encoding)"},
      {"<a>\xFF</a>", "line 1, column 4: not well-formed XML (not well-formed (invalid token))"},
      // No entity is ever declared, so none can be expanded ("billion laughs").
      {"<!DOCTYPE a [<!ENTITY b \"bbbbbbbbbb\"><!ENTITY c \"&b;&b;&b;&b;\">]><a>&c;</a>",
       "line 1, column 13: a document type declaration (DTD, entities) is refused"},
      {"<?xml version=\"1.0\"?>\n<!DOCTYPE a SYSTEM \"file:///etc/passwd\"><a/>",
       "line 2, column 40: a document type declaration (DTD, entities) is refused"},
  };
  for (const auto& [document, message] : cases) {
    EXPECT_EQ(Events(document), message) << document;
    EXPECT_EQ(Events(document, 1), message) << document;
  }
}

// A handler's exception stops the parse: no later event, and Feed and Finish throw it again.
TEST(XmlStreamTest, HandlerErrorStopsTheParseAndPassesUnchanged) {
  RecordingHandler handler;
  handler.refuse = "b";
  XmlStreamParser parser(handler);
  EXPECT_THROW(
      {
        try {
          parser.Feed("<a><b/><c/>");
        } catch (const std::runtime_error& e) {
          EXPECT_STREQ(e.what(), "refused b");
          throw;
        }
      },
      std::runtime_error);
  EXPECT_THROW(parser.Feed("</a>"), std::runtime_error);
  EXPECT_THROW(parser.Finish(), std::runtime_error);
  EXPECT_EQ(handler.events, "<a\n<b\n");
}

}  // namespace
}  // namespace orvano
