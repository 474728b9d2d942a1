// Text encodings at the edges of the program. Inside, every text is UTF-8; files arrive as
// UTF-16LE (templates, pages), UTF-8 or the Windows code page 1252 (INI files made on Windows),
// and database texts may need re-decoding through a language's code page.

#ifndef ORVANO_SUPPORT_TEXT_CODEC_H_
#define ORVANO_SUPPORT_TEXT_CODEC_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvano {

/// How a text file was (or is to be) encoded.
enum class TextEncoding { kUtf16LeBom, kUtf16Le, kUtf8Bom, kUtf8, kCp1252 };

/// A decoded text file: its UTF-8 text (byte-order mark dropped) and the encoding found.
struct DecodedText {
  std::string text;
  TextEncoding encoding = TextEncoding::kUtf8;
};

/// Decodes a text file: a UTF-16LE or UTF-8 byte-order mark decides; without one, bytes that
/// hold a NUL and have an even length are UTF-16LE when `allow_utf16_without_bom`, valid UTF-8 is
/// UTF-8, anything else is cp1252. Never fails: invalid sequences become U+FFFD.
DecodedText DecodeTextFile(std::string_view bytes, bool allow_utf16_without_bom);

/// Encodes `text` (UTF-8) as `encoding`, with the byte-order mark where the encoding has one.
/// Characters without a cp1252 form are written as "?" in kCp1252 (the one lossy case).
std::string EncodeText(std::string_view text, TextEncoding encoding);

/// UTF-16LE bytes (no BOM handling) to UTF-8; an odd last byte is dropped, unpaired surrogates
/// become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);
/// Utf16LeToUtf8(`bytes`) when every code unit of `bytes` is a character from U+0001 to U+D7FF,
/// which every UTF-16 converter renders alike; nullopt for an odd length, U+0000, surrogates and
/// the characters from U+E000 up, so that a caller can leave those to the converter it emulates.
std::optional<std::string> PlainUtf16LeToUtf8(std::string_view bytes);
/// UTF-8 to UTF-16LE bytes; invalid sequences become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view text);
/// Writes what Utf8ToUtf16Le(`text`) gives at `out`, which has room for 2 * text.size() bytes,
/// and returns the end of what it wrote.
char* WriteUtf8AsUtf16Le(std::string_view text, char* out);

/// Appends the code point `cp` (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

/// True when a two-byte UTF-8 character starts at `pos` (< text.size()): the accented Latin
/// letters and Cyrillic, the common characters beyond ASCII, for which a loop over a text may
/// take a shorter way than NextUtf8.
inline bool StartsTwoByteUtf8(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  return lead >= 0xC2 && lead <= 0xDF && pos + 1 < text.size() &&
         (static_cast<unsigned char>(text[pos + 1]) & 0xC0) == 0x80;
}

/// Decodes the UTF-8 character at `*pos` and advances past it. nullopt for an invalid sequence
/// (advancing by one byte), so that callers decide between U+FFFD and rejection.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t* pos);

/// True when `bytes` is well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

/// cp1252 bytes to UTF-8 (the five unassigned bytes map to the control characters of the same
/// number, as Windows does).
std::string Cp1252ToUtf8(std::string_view bytes);
/// UTF-8 to cp1252 bytes, or nullopt when a character has no single-byte form there.
std::optional<std::string> Utf8ToCp1252(std::string_view text);

/// Decodes `bytes` as the Windows code page `code_page` (1250, 1251, 932, ...) through ICU.
/// nullopt when ICU does not know the code page or the bytes are not valid in it.
std::optional<std::string> DecodeCodePage(std::string_view bytes, int code_page);

/// The lines of `text`: lines end at CR LF, LF or a lone CR; a final line end adds no empty
/// line; an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_TEXT_CODEC_H_
