// INI file access: single entries of INI files read and written by section, entry and path
// (the description file Orvano.doc, the user INI file beside the executable). The free
// functions read the file on every call; IniFile reads it once for many lookups.
// Absence is never an error: reads give "", nullopt or false.

#ifndef ORVANO_SUPPORT_INI_FILE_H_
#define ORVANO_SUPPORT_INI_FILE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "support/ini_document.h"

namespace orvano {

class FileSystem;

// At most this many characters (UTF-16 code units) of a value are returned by a string read.
inline constexpr std::size_t kIniMaxValueChars = 254;

// The source that an integer read outside 16 bits reports.
inline constexpr std::string_view kIntegerReadSource = "LoadIniInteger";

// The section that holds the remembered settings in the user INI file.
inline constexpr char kIniEnvironSection[] = "SysEnviron";

// One INI file, read and parsed once. Cheap to query many times; does not see later changes
// to the file.
class IniFile {
 public:
  // Reads the file at `path` through `fs`. A missing or unreadable file gives a file without
  // entries (found() false); never throws.
  static IniFile Load(FileSystem& fs, std::string path);

  const std::string& path() const { return path_; }
  // True when the file was read.
  bool found() const { return found_; }

  // The whole value of `entry` in `section`; nullopt when the file, section or entry is absent.
  std::optional<std::string> Find(std::string_view section, std::string_view entry) const {
    return document_.Find(section, entry);
  }

  // The value cut to its first kIniMaxValueChars characters (a surrogate pair is not split);
  // "" when absent.
  std::string ReadString(std::string_view section, std::string_view entry) const;

  // The leading optional sign and digits of the value as a number: 0 when it has no digits;
  // nullopt when the file, section or entry is absent or the value is empty. Throws
  // UnexpectedError err::kOverflow naming the file, section and entry when the number lies
  // outside -32768..32767.
  std::optional<std::int16_t> ReadInteger(std::string_view section, std::string_view entry) const;

  // True only when the value reads "TRUE" without regard to case.
  bool ReadBoolean(std::string_view section, std::string_view entry) const;

 private:
  std::string path_;
  bool found_ = false;
  IniDocument document_;
};

// A value to save: text (written unchanged), integer or double (written as NumberToText gives
// it), or bool (written "true" / "false").
using IniValue = std::variant<std::string, std::int32_t, double, bool>;

// Writes `value` as the text of `entry` in `section` of `file`, creating the file (UTF-8) and
// the section when missing and keeping every other byte of the file. Throws UnexpectedError
// err::kPathFileAccess whose description names the entry and the file and says why (read-only
// file, missing folder, failed write, unreadable file, a name or value that cannot be written,
// see IniDocument::Set); the file is then as it was.
void WriteIniEntry(FileSystem& fs, const std::string& file, std::string_view section,
                   std::string_view entry, const IniValue& value);

// Writes each of `entries` (entry name, text written unchanged) into `section` of `file` with
// one write, as WriteIniEntry writes one entry. Throws as WriteIniEntry does, naming the entry
// that cannot be written (the first entry when the file cannot be read or written); the file is
// then as it was.
void WriteIniEntries(FileSystem& fs, const std::string& file, std::string_view section,
                     const std::vector<std::pair<std::string, std::string>>& entries);

// The user INI file of the executable `exe_path`: its folder + its base name without extension
// + ".ini" ("/opt/x/prog" -> "/opt/x/prog.ini").
std::string UserIniPathBeside(const std::string& exe_path);

// The remembered setting `entry` of section "SysEnviron" in `user_ini_file`, cut to
// kIniMaxValueChars characters; "" when absent.
std::string ReadRememberedSetting(FileSystem& fs, const std::string& user_ini_file,
                                  std::string_view entry);

// Remembers `value` as `entry` of section "SysEnviron" in `user_ini_file`; throws as
// WriteIniEntry does.
void RememberSetting(FileSystem& fs, const std::string& user_ini_file, std::string_view entry,
                     const IniValue& value);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_INI_FILE_H_
