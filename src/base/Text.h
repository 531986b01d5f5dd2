// Small text helpers of the portable core: UTF conversions, trimming, case folding, Format.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tc {

// UTF-8 to UTF-16; malformed bytes become U+FFFD.
std::u16string FromUtf8(std::string_view bytes);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Leading and trailing white space (space, tab, line breaks) removed.
std::u16string Trim(std::u16string_view text);

// ASCII-only case folding, as the registry and file names need it.
char16_t FoldCase(char16_t c);
// The registry and the file system order names by their upper-case form.
char16_t UpperCase(char16_t c);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool EndsWithIgnoreCase(std::u16string_view text, std::u16string_view suffix);

// At most `limit` characters, never half of a surrogate pair.
std::u16string Clipped(std::u16string_view text, std::size_t limit);

// Decimal digits after optional leading white space and a sign; stops at the first non-digit; 0 without digits.
std::int64_t ParseLeadingDecimal(std::u16string_view text);

std::u16string ToDecimal(std::uint64_t value);

using FormatArg = std::variant<std::u16string_view, std::uint32_t, std::int32_t>;

// printf-style: "%s", "%u", "%i"/"%d", "%x"/"%04x" (zero-padded widths), "%%".
std::u16string Format(std::u16string_view pattern, std::initializer_list<FormatArg> args);

}  // namespace tc
