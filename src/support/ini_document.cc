#include "support/ini_document.h"

#include <cstdint>
#include <utility>

#include "support/errors.h"
#include "support/text_case.h"

namespace orvano {
namespace {

// An edit that would damage the file or cannot be written in it.
[[noreturn]] void RefuseEdit(std::string why) { throw ProgramError(std::move(why)); }

std::string_view Trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string NameKey(std::string_view name) { return ToUpper(Trim(name)); }

bool HasHighByte(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<std::uint8_t>(c) >= 0x80) return true;
  }
  return false;
}

std::size_t BodyStart(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf16LeBom:
      return 2;
    case TextEncoding::kUtf8Bom:
      return 3;
    default:
      return 0;
  }
}

// Shortens a name for messages; a name may be a whole 100 kB line of a damaged file.
std::string Shown(std::string_view text) {
  constexpr std::size_t kMax = 60;
  return text.size() <= kMax ? std::string(text) : std::string(text.substr(0, kMax)) + "...";
}

}  // namespace

std::string IniReadForm(std::string_view value) {
  std::string_view trimmed = Trim(value);
  if (trimmed.size() >= 2 && (trimmed.front() == '"' || trimmed.front() == '\'') &&
      trimmed.back() == trimmed.front()) {
    trimmed = trimmed.substr(1, trimmed.size() - 2);
  }
  return std::string(trimmed);
}

IniDocument IniDocument::Parse(std::string bytes) {
  IniDocument doc;
  doc.encoding_ = DecodeTextFile(bytes, /*allow_utf16_without_bom=*/false).encoding;
  doc.bytes_ = std::move(bytes);
  doc.unit_ = doc.encoding_ == TextEncoding::kUtf16LeBom ? 2 : 1;
  doc.SplitLines();
  doc.Index();
  return doc;
}

// Splits the raw bytes, not decoded text, so that every line keeps its exact bytes for writing
// back. In UTF-16 a line end is a code unit at an even offset; an odd last byte stays in the
// last line.
void IniDocument::SplitLines() {
  auto unit_at = [&](std::size_t i) -> unsigned {
    unsigned low = static_cast<std::uint8_t>(bytes_[i]);
    return unit_ == 1
               ? low
               : low | (static_cast<unsigned>(static_cast<std::uint8_t>(bytes_[i + 1])) << 8);
  };
  std::size_t body = BodyStart(encoding_);
  std::size_t limit = bytes_.size() - (bytes_.size() - body) % unit_;
  std::size_t start = body;
  bool any_end = false;
  bool any_cr = false;
  for (std::size_t i = body; i < limit;) {
    unsigned u = unit_at(i);
    if (u != '\n' && u != '\r') {
      i += unit_;
      continue;
    }
    std::size_t next = i + unit_;
    if (u == '\r') {
      any_cr = true;
      if (next < limit && unit_at(next) == '\n') next += unit_;
    }
    any_end = true;
    lines_.push_back({start, i, next});
    start = i = next;
  }
  if (start < bytes_.size()) lines_.push_back({start, bytes_.size(), bytes_.size()});
  lf_only_ = any_end && !any_cr;
}

void IniDocument::Index() {
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t current = kNone;
  for (std::size_t n = 0; n < lines_.size(); ++n) {
    const Line& line = lines_[n];
    std::string_view raw(bytes_.data() + line.begin, line.end - line.begin);
    std::string text;
    switch (encoding_) {
      case TextEncoding::kUtf16LeBom:
      case TextEncoding::kUtf16Le:
        text = Utf16LeToUtf8(raw);
        break;
      case TextEncoding::kCp1252:
        text = Cp1252ToUtf8(raw);
        break;
      case TextEncoding::kUtf8Bom:
      case TextEncoding::kUtf8:
        // A file with a UTF-8 BOM may still hold invalid bytes: the round trip through UTF-16
        // turns them into U+FFFD without touching "=", "[" or "]".
        text = IsValidUtf8(raw) ? std::string(raw) : Utf16LeToUtf8(Utf8ToUtf16Le(raw));
        break;
    }
    std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';') continue;
    if (trimmed.front() == '[') {
      std::size_t close = trimmed.find(']');
      // A header without "]" still ends the section before it, so that the entries below it
      // are not taken for the earlier section's.
      current = kNone;
      if (close == std::string_view::npos) continue;
      auto [it, inserted] =
          section_index_.try_emplace(NameKey(trimmed.substr(1, close - 1)), sections_.size());
      if (inserted) {
        sections_.push_back({n, {}});
        current = it->second;
      }
      continue;
    }
    std::size_t equals = trimmed.find('=');
    if (current == kNone || equals == std::string_view::npos) continue;
    Section& section = sections_[current];
    section.last_line = n;
    std::string key = NameKey(trimmed.substr(0, equals));
    if (section.entries.count(key) != 0) continue;
    // The first "=" of the decoded line is the first "=" code unit of the raw line: no encoding
    // read here produces "=" from anything but that unit.
    std::size_t raw_equals = line.begin;
    while (raw_equals + unit_ <= line.end &&
           !(bytes_[raw_equals] == '=' && (unit_ == 1 || bytes_[raw_equals + 1] == '\0'))) {
      raw_equals += unit_;
    }
    if (raw_equals + unit_ > line.end) continue;  // cannot happen; keeps the offsets in range
    section.entries.emplace(std::move(key),
                            Entry{n, raw_equals + unit_, IniReadForm(trimmed.substr(equals + 1))});
  }
}

std::optional<std::string> IniDocument::Find(std::string_view section,
                                             std::string_view entry) const {
  auto found_section = section_index_.find(NameKey(section));
  if (found_section == section_index_.end()) return std::nullopt;
  const auto& entries = sections_[found_section->second].entries;
  auto found_entry = entries.find(NameKey(entry));
  if (found_entry == entries.end()) return std::nullopt;
  return found_entry->second.value;
}

std::optional<std::string> IniDocument::Encode(std::string_view text) const {
  switch (encoding_) {
    case TextEncoding::kUtf16LeBom:
    case TextEncoding::kUtf16Le:
      return Utf8ToUtf16Le(text);
    case TextEncoding::kCp1252:
      return Utf8ToCp1252(text);
    case TextEncoding::kUtf8Bom:
    case TextEncoding::kUtf8:
      return std::string(text);
  }
  return std::nullopt;
}

std::string IniDocument::LineEnd() const { return *Encode(lf_only_ ? "\n" : "\r\n"); }

void IniDocument::Set(std::string_view section, std::string_view entry, std::string_view value) {
  if (!IsValidUtf8(section) || !IsValidUtf8(entry) || !IsValidUtf8(value)) {
    RefuseEdit("the section name, entry name or value is not valid UTF-8 text");
  }
  std::string_view name = Trim(section);
  std::string_view key = Trim(entry);
  if (name.empty() || name.find_first_of("\r\n]") != std::string_view::npos) {
    RefuseEdit("the section name '" + Shown(section) + "' is empty or holds a line break or \"]\"");
  }
  if (key.empty() || key.find_first_of("\r\n=") != std::string_view::npos || key.front() == ';' ||
      key.front() == '[') {
    RefuseEdit("the entry name '" + Shown(entry) +
               "' is empty, holds a line break or \"=\", or starts with \";\" or \"[\"");
  }
  if (value.find_first_of("\r\n") != std::string_view::npos) {
    RefuseEdit("the value holds a line break");
  }

  std::string entry_line = std::string(key) + "=" + std::string(value);
  std::string le = LineEnd();
  std::size_t at = bytes_.size();
  std::size_t erase = 0;
  std::optional<std::string> insert;
  auto found_section = section_index_.find(NameKey(name));
  if (found_section != section_index_.end()) {
    const Section& target = sections_[found_section->second];
    auto found_entry = target.entries.find(NameKey(key));
    if (found_entry != target.entries.end()) {
      at = found_entry->second.value_begin;
      erase = lines_[found_entry->second.line].end - at;
      insert = Encode(value);
    } else {
      const Line& last = lines_[target.last_line];
      bool has_end = last.next != last.end;
      at = has_end ? last.next : last.end;
      if (auto encoded = Encode(entry_line)) insert = (has_end ? "" : le) + *encoded + le;
    }
  } else {
    bool ends_with_line_end = lines_.empty() || lines_.back().next != lines_.back().end;
    auto header = Encode("[" + std::string(name) + "]");
    auto encoded = Encode(entry_line);
    if (header && encoded) insert = (ends_with_line_end ? "" : le) + *header + le + *encoded + le;
  }
  if (!insert) {
    RefuseEdit(
        "the section name, entry name or value holds characters that code page 1252 "
        "cannot hold");
  }

  std::string edited_bytes = bytes_.substr(0, at) + *insert + bytes_.substr(at + erase);
  IniDocument edited = Parse(std::move(edited_bytes));
  // A cp1252 file whose non-ASCII bytes happen to form UTF-8 would be read as UTF-8 next time,
  // changing every non-ASCII character in it.
  if (edited.encoding_ != encoding_ && HasHighByte(edited.bytes_)) {
    RefuseEdit("the file would no longer read in its encoding after this change");
  }
  if (edited.Find(name, key) != IniReadForm(value)) {
    RefuseEdit("the file would not read back the value (damaged text near the end?)");
  }
  *this = std::move(edited);
}

}  // namespace orvano
