#include "support/error_sink.h"

namespace orvano {

std::string TablePlace(std::string_view database, std::string_view table) {
  return std::string(database) + " [" + std::string(table) + "]";
}

std::string KeyPlace(std::string_view file, std::string_view section, std::string_view key) {
  return std::string(file) + " [" + std::string(section) + "] " + std::string(key);
}

std::string PlaceText(const SourcePlace& place) {
  if (place.line != 0) return std::string(place.text) + ":" + std::to_string(place.line);
  if (place.row == 0) return std::string(place.text);
  // Columns are lettered A..Z, AA..AZ, ... as spreadsheets show them.
  std::string letters;
  for (std::size_t n = place.column + 1; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  std::string text = place.file.empty() ? "" : std::string(place.file) + ":";
  return text + std::string(place.text) + "!" + letters + std::to_string(place.row);
}

}  // namespace orvano
