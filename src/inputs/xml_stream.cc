#include "inputs/xml_stream.h"

#include <expat.h>

#include <cstring>
#include <string>

#include "support/byte_reader.h"

namespace orvano {

namespace {

// The local name of the NUL-terminated `name` in one pass: names are short and many, so this
// beats measuring the length and then searching for the colon.
std::string_view LocalNameOf(const char* name) {
  const char* local = name;
  const char* end = name;
  for (; *end != '\0'; ++end) {
    if (*end == ':') local = end + 1;
  }
  return std::string_view(local, static_cast<std::size_t>(end - local));
}

}  // namespace

std::string_view LocalName(std::string_view name) {
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

const char* XmlAttributes::Find(std::string_view name, bool prefixed) const {
  for (const char** p = pairs_; *p != nullptr; p += 2) {
    const std::string_view local = LocalNameOf(p[0]);
    if (local == name && (local.data() != p[0]) == prefixed) return p[1];
  }
  return nullptr;
}

struct XmlStreamParser::ExpatParser {
  XML_Parser parser = nullptr;
  ~ExpatParser() {
    if (parser != nullptr) XML_ParserFree(parser);
  }
};

// Expat is C: a C++ exception must not unwind through it, so each callback keeps what the
// handler threw and stops the parser, and Parse rethrows it.
struct XmlStreamParser::Callbacks {
  template <typename F>
  static void Guarded(void* user_data, F&& call) {
    auto* self = static_cast<XmlStreamParser*>(user_data);
    if (self->handler_error_) return;
    try {
      call(self->handler_);
    } catch (...) {
      self->handler_error_ = std::current_exception();
      XML_StopParser(self->parser_->parser, XML_FALSE);
    }
  }
  static void Start(void* user_data, const XML_Char* name, const XML_Char** attributes) {
    Guarded(user_data,
            [&](XmlHandler& h) { h.StartElement(LocalNameOf(name), XmlAttributes(attributes)); });
  }
  static void End(void* user_data, const XML_Char* name) {
    Guarded(user_data, [&](XmlHandler& h) { h.EndElement(LocalNameOf(name)); });
  }
  static void Text(void* user_data, const XML_Char* text, int length) {
    Guarded(user_data, [&](XmlHandler& h) {
      h.Characters(std::string_view(text, static_cast<std::size_t>(length)));
    });
  }
  static void Doctype(void* user_data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto* self = static_cast<XmlStreamParser*>(user_data);
    self->refused_doctype_ = true;
    XML_StopParser(self->parser_->parser, XML_FALSE);
  }
  static void Entity(void* user_data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                     const XML_Char*, const XML_Char*, const XML_Char*) {
    Doctype(user_data, nullptr, nullptr, nullptr, 0);
  }
};

XmlStreamParser::XmlStreamParser(XmlHandler& handler)
    : handler_(handler), parser_(std::make_unique<ExpatParser>()) {
  parser_->parser = XML_ParserCreate(nullptr);
  if (parser_->parser == nullptr) throw std::bad_alloc();
  XML_Parser p = parser_->parser;
  XML_SetUserData(p, this);
  XML_SetElementHandler(p, &Callbacks::Start, &Callbacks::End);
  XML_SetCharacterDataHandler(p, &Callbacks::Text);
  XML_SetStartDoctypeDeclHandler(p, &Callbacks::Doctype);
  XML_SetEntityDeclHandler(p, &Callbacks::Entity);
  XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlStreamParser::~XmlStreamParser() = default;

void XmlStreamParser::Feed(std::string_view chunk) {
  // Expat takes an int length: a larger chunk goes in pieces.
  constexpr std::size_t kMaxPiece = std::size_t{1} << 30;
  for (; chunk.size() > kMaxPiece; chunk.remove_prefix(kMaxPiece)) {
    Parse(chunk.substr(0, kMaxPiece), false);
  }
  Parse(chunk, false);
}

void XmlStreamParser::Finish() { Parse({}, true); }

void XmlStreamParser::Parse(std::string_view chunk, bool is_final) {
  XML_Parser p = parser_->parser;
  const XML_Status status =
      XML_Parse(p, chunk.data(), static_cast<int>(chunk.size()), is_final ? XML_TRUE : XML_FALSE);
  if (handler_error_) std::rethrow_exception(handler_error_);
  if (status == XML_STATUS_OK) return;
  const std::string where = "line " + std::to_string(XML_GetCurrentLineNumber(p)) + ", column " +
                            std::to_string(XML_GetCurrentColumnNumber(p) + 1) + ": ";
  if (refused_doctype_) {
    throw DataError(where + "a document type declaration (DTD, entities) is refused");
  }
  throw DataError(where + "not well-formed XML (" + XML_ErrorString(XML_GetErrorCode(p)) + ")");
}

}  // namespace orvano
