// Small text helpers of the portable core.
#include "base/Text.h"

namespace tc {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; }

}  // namespace

std::u16string FromUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    const int extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= bytes.size()) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    char32_t c = extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const auto cb = static_cast<unsigned char>(bytes[i + k]);
      if ((cb & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (cb & 0x3F);
    }
    constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};  // overlong forms are malformed
    if (!ok || c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    AppendUtf16(out, c);
    i += extra + 1;
  }
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string Trim(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::u16string(text.substr(begin, end - begin));
}

char16_t FoldCase(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

char16_t UpperCase(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

bool EndsWithIgnoreCase(std::u16string_view text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

std::u16string Clipped(std::u16string_view text, std::size_t limit) {
  if (text.size() <= limit) return std::u16string(text);
  if (limit > 0 && text[limit - 1] >= 0xD800 && text[limit - 1] <= 0xDBFF) --limit;
  return std::u16string(text.substr(0, limit));
}

std::int64_t ParseLeadingDecimal(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (IsBlank(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    if (value < (std::int64_t{1} << 40)) value = value * 10 + (text[i] - u'0');  // saturates far above any slot
  }
  return negative ? -value : value;
}

std::u16string ToDecimal(std::uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

namespace {

std::u16string ToHex(std::uint32_t value, bool upper) {
  const char16_t* digits = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
  std::u16string out;
  do {
    out.insert(out.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return out;
}

std::u16string Render(const FormatArg& arg, char16_t conversion) {
  if (const auto* text = std::get_if<std::u16string_view>(&arg)) return std::u16string(*text);
  std::uint32_t bits = 0;
  bool negative = false;
  if (const auto* u = std::get_if<std::uint32_t>(&arg)) bits = *u;
  if (const auto* i = std::get_if<std::int32_t>(&arg)) {
    bits = static_cast<std::uint32_t>(*i);
    if ((conversion == u'i' || conversion == u'd') && *i < 0) {
      negative = true;
      bits = static_cast<std::uint32_t>(-static_cast<std::int64_t>(*i));
    }
  }
  if (conversion == u'x' || conversion == u'X') return ToHex(bits, conversion == u'X');
  return (negative ? u"-" : u"") + ToDecimal(bits);
}

}  // namespace

std::u16string Format(std::u16string_view pattern, std::initializer_list<FormatArg> args) {
  std::u16string out;
  auto next = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != u'%' || i + 1 == pattern.size()) {
      out.push_back(pattern[i]);
      continue;
    }
    size_t j = i + 1;
    if (pattern[j] == u'%') {
      out.push_back(u'%');
      i = j;
      continue;
    }
    const bool zeroPad = pattern[j] == u'0';
    size_t width = 0;
    while (j < pattern.size() && pattern[j] >= u'0' && pattern[j] <= u'9') width = width * 10 + (pattern[j++] - u'0');
    if (j == pattern.size() || next == args.end()) {
      out.append(pattern.substr(i, j - i));
      i = j - 1;
      continue;
    }
    std::u16string piece = Render(*next++, pattern[j]);
    if (piece.size() < width) piece.insert(0, width - piece.size(), zeroPad ? u'0' : u' ');
    out += piece;
    i = j;
  }
  return out;
}

}  // namespace tc
