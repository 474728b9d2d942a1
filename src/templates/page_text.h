// PageText: a page as its lines are made, encoded once when it is done: UTF-16LE with a
// byte-order mark, every line ended by CR LF. The lines are gathered in one UTF-8 buffer, ended
// by CR LF already: no UTF-8 sequence runs across a CR, so encoding the whole buffer gives the
// bytes that encoding line by line gives, without a string per line or a pass per line.

#ifndef ORVANO_TEMPLATES_PAGE_TEXT_H_
#define ORVANO_TEMPLATES_PAGE_TEXT_H_

#include <string>
#include <string_view>

#include "support/line_list.h"

namespace orvano {

class PageText {
 public:
  PageText();
  ~PageText();
  PageText(const PageText&) = delete;
  PageText& operator=(const PageText&) = delete;

  /// Appends the UTF-8 `line` (invalid sequences become U+FFFD) and a line end.
  void AppendLine(std::string_view line) {
    text_.append(line);
    text_.append("\r\n");
  }

  /// The page's bytes.
  std::string Bytes() const;

 private:
  std::string text_;
};

/// Hands back the bytes of a page (from PageText::Bytes) once they are written, so that the
/// bytes of a page built later, on any thread, reuse their memory.
void RecyclePageBytes(std::string bytes);

/// Appends `line` to a page made as lines or to one made as bytes, so that a page builder can
/// write either with the same code.
inline void AppendPageLine(LineList* page, std::string line) { page->push_back(std::move(line)); }
inline void AppendPageLine(PageText* page, std::string_view line) { page->AppendLine(line); }

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_PAGE_TEXT_H_
