#include "support/text_codec.h"

#include <unicode/ucnv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "support/byte_words.h"

namespace orvano {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// cp1252 bytes 0x80..0x9F. The five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// C1 control of the same number, as Windows' conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Utf8Sanitized(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  std::size_t pos = 0;
  while (pos < bytes.size()) AppendUtf8(out, NextUtf8(bytes, &pos).value_or(kReplacement));
  return out;
}

bool HasNul(std::string_view bytes) { return bytes.find('\0') != std::string_view::npos; }

}  // namespace

std::optional<char32_t> NextUtf8(std::string_view text, std::size_t* pos) {
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  std::uint8_t lead = byte(*pos);
  int length;
  char32_t cp;
  char32_t min;
  if (lead < 0x80) {
    ++*pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, min = 0x10000;
  } else {
    ++*pos;
    return std::nullopt;
  }
  if (text.size() - *pos < static_cast<std::size_t>(length)) {
    ++*pos;
    return std::nullopt;
  }
  for (int i = 1; i < length; ++i) {
    std::uint8_t next = byte(*pos + i);
    if ((next & 0xC0) != 0x80) {
      ++*pos;
      return std::nullopt;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++*pos;
    return std::nullopt;
  }
  *pos += length;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    if (static_cast<std::uint8_t>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    if (!NextUtf8(bytes, &pos)) return false;
  }
  return true;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) {
    return static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                 (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      char16_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u);
  }
  return out;
}

std::optional<std::string> PlainUtf16LeToUtf8(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  // At most three UTF-8 bytes for each two bytes of UTF-16.
  std::string out(bytes.size() / 2 * 3, '\0');
  char* to = out.data();
  std::size_t i = 0;
  // Four ASCII characters at a time: no unit has a bit above 0x7F, and none is zero.
  constexpr std::uint64_t kLows = 0x0001000100010001;
  constexpr std::uint64_t kHighBits = 0x8000800080008000;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= bytes.size(); i += 8) {
      std::uint64_t units;
      std::memcpy(&units, bytes.data() + i, 8);
      if ((units & 0xFF80FF80FF80FF80) != 0 || ((units - kLows) & ~units & kHighBits) != 0) break;
      for (int k = 0; k < 4; ++k) *to++ = static_cast<char>(units >> (16 * k));
    }
  }
  for (; i < bytes.size(); i += 2) {
    const auto u = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                         (static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    if (u == 0 || u >= 0xD800) return std::nullopt;
    if (u < 0x80) {
      *to++ = static_cast<char>(u);
    } else if (u < 0x800) {
      *to++ = static_cast<char>(0xC0 | (u >> 6));
      *to++ = static_cast<char>(0x80 | (u & 0x3F));
    } else {
      *to++ = static_cast<char>(0xE0 | (u >> 12));
      *to++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      *to++ = static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  return out;
}

namespace {

// Writes the eight ASCII bytes of `word` (in memory order) as sixteen bytes of UTF-16LE.
void WriteAsciiAsUtf16Le(std::uint64_t word, char* out) {
  if constexpr (std::endian::native == std::endian::little) {
    // Spreads four bytes over eight: each byte moves to the low half of its own code unit.
    const auto widen = [](std::uint64_t four) {
      four = (four | (four << 16)) & 0x0000FFFF0000FFFF;
      return (four | (four << 8)) & 0x00FF00FF00FF00FF;
    };
    const std::uint64_t low = widen(word & 0xFFFFFFFF);
    const std::uint64_t high = widen(word >> 32);
    std::memcpy(out, &low, sizeof low);
    std::memcpy(out + 8, &high, sizeof high);
  } else {
    char bytes[8];
    std::memcpy(bytes, &word, sizeof bytes);
    for (int k = 0; k < 8; ++k) {
      out[2 * k] = bytes[k];
      out[2 * k + 1] = '\0';
    }
  }
}

// Writes the ASCII bytes that `text` starts with, at most 16 of them and only while at least 8
// bytes remain, as UTF-16LE at `out`, and returns how many. It may write the code units of up
// to 16 bytes: the room for twice the bytes still to come.
std::size_t WidenAsciiPrefix(std::string_view text, char* out) {
#if defined(__SSE2__)
  if (text.size() >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data()));
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(bytes, zero));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    return high == 0 ? 16 : static_cast<std::size_t>(std::countr_zero(high));
  }
#endif
  if (text.size() < 8) return 0;
  std::uint64_t word;
  std::memcpy(&word, text.data(), sizeof word);
  WriteAsciiAsUtf16Le(word, out);
  const std::uint64_t high_bits = word & kEveryByteHigh;
  return high_bits == 0 ? 8 : FirstMarkedByte(high_bits);
}

}  // namespace

char* WriteUtf8AsUtf16Le(std::string_view text, char* out) {
  // Every byte gives at most one code unit (a 4-byte character gives two), so twice the size
  // is enough.
  auto put = [&](char16_t u) {
    *out++ = static_cast<char>(u & 0xFF);
    *out++ = static_cast<char>(u >> 8);
  };
  auto is_ascii = [&](std::size_t at) { return static_cast<std::uint8_t>(text[at]) < 0x80; };
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (is_ascii(pos)) {
      // Pages are mostly ASCII: a run of it is widened many bytes at a time.
      const std::size_t ascii = WidenAsciiPrefix(text.substr(pos), out);
      if (ascii != 0) {
        pos += ascii;
        out += 2 * ascii;
      } else {
        put(static_cast<char16_t>(text[pos++]));
      }
      continue;
    }
    // A run of other characters (a word of Cyrillic, say) one by one, without looking for ASCII
    // in between.
    do {
      if (StartsTwoByteUtf8(text, pos)) {
        const auto lead = static_cast<std::uint8_t>(text[pos]);
        put(static_cast<char16_t>(((lead & 0x1F) << 6) | (text[pos + 1] & 0x3F)));
        pos += 2;
        continue;
      }
      char32_t cp = NextUtf8(text, &pos).value_or(kReplacement);
      if (cp >= 0x10000) {
        cp -= 0x10000;
        put(static_cast<char16_t>(0xD800 + (cp >> 10)));
        put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
      } else {
        put(static_cast<char16_t>(cp));
      }
    } while (pos < text.size() && !is_ascii(pos));
  }
  return out;
}

std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out(text.size() * 2, '\0');
  out.resize(static_cast<std::size_t>(WriteUtf8AsUtf16Le(text, out.data()) - out.data()));
  return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    auto b = static_cast<std::uint8_t>(c);
    AppendUtf8(out, (b >= 0x80 && b <= 0x9F) ? kCp1252High[b - 0x80] : b);
  }
  return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto cp = NextUtf8(text, &pos);
    if (!cp) return std::nullopt;
    if (*cp < 0x80 || (*cp >= 0xA0 && *cp <= 0xFF)) {
      out += static_cast<char>(*cp);
      continue;
    }
    bool found = false;
    for (std::size_t i = 0; i < kCp1252High.size() && !found; ++i) {
      if (kCp1252High[i] == *cp) {
        out += static_cast<char>(0x80 + i);
        found = true;
      }
    }
    if (!found) return std::nullopt;
  }
  return out;
}

std::optional<std::string> DecodeCodePage(std::string_view bytes, int code_page) {
  if (code_page == 1252) return Cp1252ToUtf8(bytes);
  if (code_page == 65001) {
    if (!IsValidUtf8(bytes)) return std::nullopt;
    return std::string(bytes);
  }
  UErrorCode status = U_ZERO_ERROR;
  std::string name = "windows-" + std::to_string(code_page);
  UConverter* raw = ucnv_open(name.c_str(), &status);
  if (U_FAILURE(status)) {
    status = U_ZERO_ERROR;
    name = "cp" + std::to_string(code_page);
    raw = ucnv_open(name.c_str(), &status);
  }
  if (U_FAILURE(status) || raw == nullptr) return std::nullopt;
  std::unique_ptr<UConverter, void (*)(UConverter*)> converter(raw, ucnv_close);
  // Stop at the first byte sequence the code page does not define instead of substituting.
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  std::u16string units(bytes.size() * 2 + 2, u'\0');
  int32_t length = ucnv_toUChars(converter.get(), units.data(), static_cast<int32_t>(units.size()),
                                 bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  units.resize(static_cast<std::size_t>(length));
  std::string utf16le;
  utf16le.reserve(units.size() * 2);
  for (char16_t u : units) {
    utf16le += static_cast<char>(u & 0xFF);
    utf16le += static_cast<char>(u >> 8);
  }
  return Utf16LeToUtf8(utf16le);
}

DecodedText DecodeTextFile(std::string_view bytes, bool allow_utf16_without_bom) {
  if (bytes.size() >= 2 && static_cast<std::uint8_t>(bytes[0]) == 0xFF &&
      static_cast<std::uint8_t>(bytes[1]) == 0xFE) {
    return {Utf16LeToUtf8(bytes.substr(2)), TextEncoding::kUtf16LeBom};
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    return {Utf8Sanitized(bytes.substr(3)), TextEncoding::kUtf8Bom};
  }
  if (allow_utf16_without_bom && HasNul(bytes) && bytes.size() % 2 == 0) {
    return {Utf16LeToUtf8(bytes), TextEncoding::kUtf16Le};
  }
  if (IsValidUtf8(bytes)) return {std::string(bytes), TextEncoding::kUtf8};
  return {Cp1252ToUtf8(bytes), TextEncoding::kCp1252};
}

std::string EncodeText(std::string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf16LeBom:
      return "\xFF\xFE" + Utf8ToUtf16Le(text);
    case TextEncoding::kUtf16Le:
      return Utf8ToUtf16Le(text);
    case TextEncoding::kUtf8Bom:
      return "\xEF\xBB\xBF" + std::string(text);
    case TextEncoding::kUtf8:
      return std::string(text);
    case TextEncoding::kCp1252: {
      if (auto bytes = Utf8ToCp1252(text)) return *bytes;
      std::string out;
      std::size_t pos = 0;
      while (pos < text.size()) {
        std::size_t start = pos;
        auto cp = NextUtf8(text, &pos);
        auto one = cp ? Utf8ToCp1252(text.substr(start, pos - start)) : std::nullopt;
        out += one ? *one : "?";
      }
      return out;
    }
  }
  return std::string(text);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace orvano
