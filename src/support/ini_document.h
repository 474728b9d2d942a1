// An INI-structured text parsed from its bytes: sections "[name]" with lines "entry=value", read
// with the Windows private-profile rules, and edited one entry at a time so that every byte not
// belonging to the edited line stays as it was. Used by ini_file.h; never opens files.

#ifndef ORVANO_SUPPORT_INI_DOCUMENT_H_
#define ORVANO_SUPPORT_INI_DOCUMENT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/text_codec.h"

namespace orvano {

class IniDocument {
 public:
  // An empty document: a file that does not exist yet, written as UTF-8 without BOM.
  IniDocument() = default;

  // Parses `bytes`, a whole INI file: UTF-16LE with BOM, UTF-8 with BOM, valid UTF-8, else
  // cp1252. Never fails: lines that are neither a section header nor an entry are kept as they
  // are and ignored. Rules: names and values are trimmed of blanks and tabs; section and entry
  // names compare without regard to case; the first section of a name and the first entry of a
  // name within it win; lines starting with ";" and lines without "=" are ignored, and so is
  // text before the first section; one pair of matching quotes ("..." or '...') around a value
  // is removed.
  static IniDocument Parse(std::string bytes);

  // The value of `entry` in `section` (names trimmed before lookup), whole, as UTF-8; nullopt
  // when the section or the entry is absent. An entry with nothing after "=" gives "".
  std::optional<std::string> Find(std::string_view section, std::string_view entry) const;

  // Makes `entry` of `section` hold `value` (written unchanged, so reading trims it): replaces
  // the value part of the entry's line, or inserts one line after the section's last entry, or
  // appends the section with the entry at the end. Inserted lines end with CR LF, or LF when the
  // file uses LF only. Throws ProgramError whose text (without a file name) says why when the
  // names are empty, hold a line break (or "]" in a section, "=" in an entry, or start an entry
  // with ";" or "["), the value holds a line break, a text is not valid UTF-8 or cannot be written
  // in the file's encoding, or the edited file would not read back the value; the document is then
  // unchanged.
  void Set(std::string_view section, std::string_view entry, std::string_view value);

  // The file's bytes, edits included.
  const std::string& bytes() const { return bytes_; }
  // The encoding the file was read in, and in which edits are written.
  TextEncoding encoding() const { return encoding_; }

 private:
  // One line of the file: content bytes [begin, end), line end bytes [end, next).
  struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
  };
  struct Entry {
    std::size_t line = 0;
    std::size_t value_begin = 0;  // byte offset just after the "="
    std::string value;
  };
  struct Section {
    std::size_t last_line = 0;                       // the header, or the section's last entry
    std::unordered_map<std::string, Entry> entries;  // by upper-cased name
  };

  void SplitLines();
  void Index();
  // `text` in the file's encoding, without BOM; nullopt when it cannot be written in it.
  std::optional<std::string> Encode(std::string_view text) const;
  // The line end that inserted lines get, in the file's encoding.
  std::string LineEnd() const;

  std::string bytes_;
  TextEncoding encoding_ = TextEncoding::kUtf8;
  std::size_t unit_ = 1;  // bytes per code unit: 2 for UTF-16LE
  bool lf_only_ = false;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> section_index_;  // upper-cased name -> section
};

// `value` as an INI read gives it back: blanks and tabs trimmed, then one pair of matching
// quotes removed.
std::string IniReadForm(std::string_view value);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_INI_DOCUMENT_H_
