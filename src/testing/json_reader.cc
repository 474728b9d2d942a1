#include "testing/json_reader.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "support/text_codec.h"

namespace orvano::testing {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  JsonValue Document() {
    JsonValue v = Value();
    Space();
    if (pos_ != text_.size()) Fail("text after the value");
    return v;
  }

 private:
  [[noreturn]] void Fail(const char* what) {
    throw std::runtime_error("JSON offset " + std::to_string(pos_) + ": " + what);
  }
  void Space() {
    while (pos_ < text_.size() &&
           std::string_view(" \t\r\n").find(text_[pos_]) != std::string_view::npos)
      ++pos_;
  }
  bool Take(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }
  void Expect(char c) {
    Space();
    if (pos_ >= text_.size() || text_[pos_] != c) Fail("unexpected character");
    ++pos_;
  }

  JsonValue Value() {
    Space();
    if (pos_ >= text_.size()) Fail("unexpected end");
    const char c = text_[pos_];
    if (c == '{') return Object();
    if (c == '[') return Array();
    if (c == '"') return {String()};
    if (Take("true")) return {true};
    if (Take("false")) return {false};
    if (Take("null")) return {nullptr};
    if (Take("NaN")) return {std::nan("")};
    if (Take("Infinity")) return {HUGE_VAL};
    if (Take("-Infinity")) return {-HUGE_VAL};
    std::size_t end = pos_;
    while (end < text_.size() &&
           std::string_view("+-0123456789.eE").find(text_[end]) != std::string_view::npos) {
      ++end;
    }
    if (end == pos_) Fail("not a value");
    const double d = std::strtod(std::string(text_.substr(pos_, end - pos_)).c_str(), nullptr);
    pos_ = end;
    return {d};
  }

  JsonValue Object() {
    JsonValue::Object out;
    Expect('{');
    Space();
    if (Take("}")) return {out};
    do {
      Space();
      std::string key = String();
      Expect(':');
      out[key] = Value();
      Space();
    } while (Take(","));
    Expect('}');
    return {out};
  }

  JsonValue Array() {
    JsonValue::Array out;
    Expect('[');
    Space();
    if (Take("]")) return {out};
    do {
      out.push_back(Value());
      Space();
    } while (Take(","));
    Expect(']');
    return {out};
  }

  unsigned Hex4() {
    if (pos_ + 4 > text_.size()) Fail("short \\u escape");
    const unsigned v =
        static_cast<unsigned>(std::stoul(std::string(text_.substr(pos_, 4)), nullptr, 16));
    pos_ += 4;
    return v;
  }

  std::string String() {
    if (pos_ >= text_.size() || text_[pos_] != '"') Fail("expected a string");
    ++pos_;
    std::string out;
    while (true) {
      if (pos_ >= text_.size()) Fail("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (pos_ >= text_.size()) Fail("unterminated escape");
      const char e = text_[pos_++];
      switch (e) {
        case 'n':
          out.push_back('\n');
          break;
        case 'r':
          out.push_back('\r');
          break;
        case 't':
          out.push_back('\t');
          break;
        case 'b':
          out.push_back('\b');
          break;
        case 'f':
          out.push_back('\f');
          break;
        case 'u': {
          unsigned cp = Hex4();
          if (cp >= 0xD800 && cp <= 0xDBFF && Take("\\u")) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (Hex4() - 0xDC00);
          }
          AppendUtf8(out, cp);
          break;
        }
        default:
          out.push_back(e);
          break;  // \" \\ \/
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

JsonValue ParseJson(std::string_view text) { return Parser(text).Document(); }

}  // namespace orvano::testing
