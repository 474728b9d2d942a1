#include "support/error_sink.h"

namespace orvano {

std::string PlaceText(const SourcePlace& place) {
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
