#include "support/ini_file.h"

#include <cmath>
#include <utility>

#include "support/errors.h"
#include "support/file_system.h"
#include "support/number_text.h"
#include "support/text_case.h"

namespace orvano {
namespace {

// Shortens a name or value for messages; a damaged file may hold a 100 kB line.
std::string Shown(std::string_view text) {
  constexpr std::size_t kMax = 60;
  return text.size() <= kMax ? std::string(text) : std::string(text.substr(0, kMax)) + "...";
}

// The first `max` UTF-16 code units of the UTF-8 text `value`, never half a surrogate pair.
std::string CutToChars(std::string value, std::size_t max) {
  std::size_t units = 0;
  std::size_t pos = 0;
  while (pos < value.size()) {
    auto lead = static_cast<unsigned char>(value[pos]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::size_t needed = length == 4 ? 2 : 1;
    if (units + needed > max) break;
    units += needed;
    pos += length;
  }
  if (pos < value.size()) value.resize(pos);
  return value;
}

}  // namespace

IniFile IniFile::Load(FileSystem& fs, std::string path) {
  IniFile file;
  std::string bytes;
  std::string error;
  file.found_ = fs.ReadFile(path, &bytes, &error) == ReadStatus::kOkay;
  if (file.found_) file.document_ = IniDocument::Parse(std::move(bytes));
  file.path_ = std::move(path);
  return file;
}

std::string IniFile::ReadString(std::string_view section, std::string_view entry) const {
  std::optional<std::string> value = Find(section, entry);
  return value ? CutToChars(std::move(*value), kIniMaxValueChars) : std::string();
}

std::optional<std::int16_t> IniFile::ReadInteger(std::string_view section,
                                                 std::string_view entry) const {
  std::optional<std::string> value = Find(section, entry);
  // An empty value counts as absent, as the private-profile integer read treats it.
  if (!value || value->empty()) return std::nullopt;
  std::string_view text = *value;
  std::size_t pos = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    ++pos;
  }
  std::int64_t number = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    // Past 32767 the value only has to stay out of range; stop growing to avoid overflow.
    if (number <= 32768) number = number * 10 + (text[pos] - '0');
  }
  if (negative) number = -number;
  if (number < -32768 || number > 32767) {
    throw UnexpectedError(err::kOverflow,
                          "Overflow: entry '" + std::string(entry) + "' in section [" +
                              std::string(section) + "] of INI file '" + path_ + "' holds " +
                              Shown(text.substr(0, pos)) + ", outside -32768..32767",
                          std::string(kIntegerReadSource));
  }
  return static_cast<std::int16_t>(number);
}

bool IniFile::ReadBoolean(std::string_view section, std::string_view entry) const {
  return ToUpper(ReadString(section, entry)) == "TRUE";
}

void WriteIniEntries(FileSystem& fs, const std::string& file, std::string_view section,
                     const std::vector<std::pair<std::string, std::string>>& entries) {
  if (entries.empty()) return;
  std::string_view failing = entries.front().first;
  auto fail = [&](const std::string& why) {
    throw UnexpectedError(err::kPathFileAccess, "Cannot save entry '" + Shown(failing) +
                                                    "' in section [" + Shown(section) +
                                                    "] of INI file '" + file + "': " + why);
  };

  std::string bytes;
  std::string read_error;
  IniDocument document;
  switch (fs.ReadFile(file, &bytes, &read_error)) {
    case ReadStatus::kOkay:
      document = IniDocument::Parse(std::move(bytes));
      break;
    case ReadStatus::kNotFound:
      break;
    case ReadStatus::kOtherError:
      fail(read_error);
  }
  if (!fs.CanWrite(file)) {
    fail(fs.IsFile(file) ? "the file is read-only" : "its folder is missing or not writable");
  }
  try {
    for (const auto& [entry, text] : entries) {
      failing = entry;
      document.Set(section, entry, text);
    }
    failing = entries.front().first;
    fs.WriteFileAtomically(file, document.bytes());
  } catch (const OrvanoError& e) {
    fail(e.description());
  }
}

void WriteIniEntry(FileSystem& fs, const std::string& file, std::string_view section,
                   std::string_view entry, const IniValue& value) {
  std::string text;
  if (const auto* s = std::get_if<std::string>(&value)) {
    text = *s;
  } else if (const auto* i = std::get_if<std::int32_t>(&value)) {
    text = NumberToText(*i);
  } else if (const auto* d = std::get_if<double>(&value)) {
    if (!std::isfinite(*d)) {
      throw UnexpectedError(err::kPathFileAccess, "Cannot save entry '" + Shown(entry) +
                                                      "' in section [" + Shown(section) +
                                                      "] of INI file '" + file +
                                                      "': the value is not a finite number");
    }
    text = NumberToText(*d);
  } else {
    text = std::get<bool>(value) ? "true" : "false";
  }
  WriteIniEntries(fs, file, section, {{std::string(entry), std::move(text)}});
}

std::string UserIniPathBeside(const std::string& exe_path) {
  std::string name = FileNameOf(exe_path);
  // A leading dot starts a hidden file's name, not an extension.
  if (std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  return FolderOf(exe_path) + name + ".ini";
}

std::string ReadRememberedSetting(FileSystem& fs, const std::string& user_ini_file,
                                  std::string_view entry) {
  return IniFile::Load(fs, user_ini_file).ReadString(kIniEnvironSection, entry);
}

void RememberSetting(FileSystem& fs, const std::string& user_ini_file, std::string_view entry,
                     const IniValue& value) {
  WriteIniEntry(fs, user_ini_file, kIniEnvironSection, entry, value);
}

}  // namespace orvano
