// INI file access: single entries of INI files read and written by section, entry and path
// (the description file Orvano.doc, the user INI file beside the executable). The free
// procedures read the file on every call; IniFile reads it once for many lookups.
// Absence is never an error: reads give "", -1 or false.

#ifndef ORVANO_SUPPORT_INI_FILE_H_
#define ORVANO_SUPPORT_INI_FILE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "support/ini_document.h"

namespace orvano {

class FileSystem;
class Host;

// At most this many characters (UTF-16 code units) of a value are returned by a string read.
inline constexpr std::size_t kIniMaxValueChars = 254;

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

  // The leading optional sign and digits of the value as a number: 0 when it has no digits, -1
  // when the file, section or entry is absent or the value is empty. Throws UnexpectedError
  // err::kOverflow naming the file, section and entry when the number lies outside
  // -32768..32767.
  std::int16_t ReadInteger(std::string_view section, std::string_view entry) const;

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

// The value of `entry` in `section` of the INI file `file`, cut to kIniMaxValueChars
// characters; "" when the file, section or entry is absent or the value is empty. With
// `show_error` and an empty result, shows the not-found message through `host` (may be null).
std::string LoadIniString(std::string_view section, std::string_view entry, const std::string& file,
                          bool show_error, FileSystem& fs, Host* host);

// The value of `entry` read as IniFile::ReadInteger does: -1 when absent. With `show_error` and
// the result -1, shows the not-found message through `host` (may be null).
// Throws UnexpectedError err::kOverflow outside -32768..32767.
std::int16_t LoadIniInteger(std::string_view section, std::string_view entry,
                            const std::string& file, bool show_error, FileSystem& fs, Host* host);

// True only when the value of `entry` reads "TRUE" without regard to case. With `show_error`
// and a value that is empty or neither "TRUE" nor "FALSE", shows the not-found message.
bool LoadIniBoolean(std::string_view section, std::string_view entry, const std::string& file,
                    bool show_error, FileSystem& fs, Host* host);

// Writes `value` as the text of `entry` in `section` of `file`, creating the file (UTF-8) and
// the section when missing and keeping every other byte of the file. Returns true when written;
// on failure (read-only file, missing folder, failed write, unreadable file, a name or value
// that cannot be written, see IniDocument::Set) returns false, fills `*error` (may be null)
// with a message naming the file, and leaves the file as it was. Never throws for these.
bool SaveIni(const IniValue& value, std::string_view section, std::string_view entry,
             const std::string& file, FileSystem& fs, std::string* error);

// The path of the user's INI file for `location`: 2 or 3 give the folder of the executable
// `exe_path` + its base name without extension + ".ini" ("/opt/x/prog" -> "/opt/x/prog.ini").
// Locations 1 and 4 (the Windows folder, the home drive) and any other value have no meaning
// here and give "".
std::string GetStandardUserIni(int location, const std::string& exe_path);

// The remembered setting `entry` of section "SysEnviron" in `user_ini_file`; "" when absent.
std::string GetINIEnviron(std::string_view entry, const std::string& user_ini_file, FileSystem& fs);

// Remembers `value` as `entry` of section "SysEnviron" in `user_ini_file`, as SaveIni does.
bool SetINIEnviron(std::string_view entry, const IniValue& value, const std::string& user_ini_file,
                   FileSystem& fs, std::string* error = nullptr);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_INI_FILE_H_
