// A streaming XML parser over expat for the parts of an .xlsx workbook: bytes go in chunk by
// chunk, element starts and ends and character data come out to a handler. Documents with a
// document type declaration are refused, so no entity is ever declared or expanded (no "billion
// laughs"); only the five predefined entities and character references are read. Namespace
// prefixes are cut from element and attribute names (OOXML writers use the default namespace or
// one prefix per namespace). One parser per document; not thread-safe.

#ifndef ORVANO_INPUTS_XML_STREAM_H_
#define ORVANO_INPUTS_XML_STREAM_H_

#include <exception>
#include <memory>
#include <string_view>

namespace orvano {

/// The attributes of one element start, as expat gives them: name, value, name, value, ...,
/// nullptr. Names still carry their prefix; use LocalName.
class XmlAttributes {
 public:
  explicit XmlAttributes(const char** pairs) : pairs_(pairs) {}
  /// The value of the first attribute whose local name is `name`; `prefixed` asks for one
  /// written with a namespace prefix (such as r:id), else for one without. nullptr when absent.
  const char* Find(std::string_view name, bool prefixed = false) const;
  const char** pairs() const { return pairs_; }

 private:
  const char** pairs_;
};

/// `name` without its namespace prefix ("x:row" -> "row").
std::string_view LocalName(std::string_view name);

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  /// `name` is the local name. May throw; the parser stops and rethrows from Feed or Finish.
  virtual void StartElement(std::string_view name, const XmlAttributes& attributes) = 0;
  virtual void EndElement(std::string_view name) = 0;
  /// A piece of character data; one text may come in several pieces.
  virtual void Characters(std::string_view text) = 0;
};

class XmlStreamParser {
 public:
  explicit XmlStreamParser(XmlHandler& handler);
  ~XmlStreamParser();
  XmlStreamParser(const XmlStreamParser&) = delete;
  XmlStreamParser& operator=(const XmlStreamParser&) = delete;

  /// Parses the next bytes of the document. Throws DataError "line L, column C: fault" when
  /// the XML is not well-formed or declares a document type; rethrows what the handler threw.
  void Feed(std::string_view chunk);
  /// Ends the document; throws as Feed does, also when the document is unfinished.
  void Finish();

 private:
  struct Callbacks;
  void Parse(std::string_view chunk, bool is_final);

  XmlHandler& handler_;
  struct ExpatParser;
  std::unique_ptr<ExpatParser> parser_;
  std::exception_ptr handler_error_;
  bool refused_doctype_ = false;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_XML_STREAM_H_
