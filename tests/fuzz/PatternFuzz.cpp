// libFuzzer target: random pattern and text pairs compile or are refused, and match in bounded time with the
// answers of std::regex given the same pattern in ECMAScript form.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I src \
//       tests/fuzz/PatternFuzz.cpp src/detect/Pattern.cpp src/base/Text.cpp -o build/pattern-fuzz
//   build/pattern-fuzz -max_total_time=120 -timeout=2 -dict=tests/fuzz/Pattern.dict corpus/
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>

#include "base/Text.h"
#include "detect/Pattern.h"

#include "FuzzCheck.h"

namespace {

std::wstring Unit(char16_t c) {
  static const char kHex[] = "0123456789ABCDEF";
  std::wstring out = L"\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += static_cast<wchar_t>(kHex[(c >> shift) & 0xF]);
  return out;
}

// An independent reading of the dialect, written out as ECMAScript, or nullopt for a malformed pattern.
// `quantifiers` counts the repetitions, which bound the oracle's own backtracking.
std::optional<std::wstring> ToEcmaScript(const std::u16string& p, int& quantifiers) {
  std::wstring out;
  std::size_t i = 0;
  if (!p.empty() && p[0] == u'^') {
    out += L'^';
    i = 1;
  }
  // The element waiting for a possible quantifier: its text, and for \w and \z the class of its run.
  std::optional<std::wstring> pending;
  std::wstring pendingRun;
  bool quantified = false;
  auto flush = [&] {
    if (pending) out += *pending;
    pending.reset();
    pendingRun.clear();
    quantified = false;
  };
  auto atom = [&](std::wstring text, std::wstring run = L"") {
    flush();
    pending = std::move(text);
    pendingRun = std::move(run);
  };
  quantifiers = 0;
  while (i < p.size()) {
    const char16_t c = p[i];
    if (c == u'$' && i + 1 == p.size()) {
      flush();
      out += L'$';
      ++i;
    } else if (c == u'*' || c == u'+') {
      if (!pending || quantified) return std::nullopt;
      ++quantifiers;
      // A run repeated is the run itself, or no run: written so, the oracle needs no nested repetition.
      pending = pendingRun.empty() ? L"(?:" + *pending + L")" + static_cast<wchar_t>(c)
                                   : pendingRun + static_cast<wchar_t>(c);
      quantified = true;
      ++i;
    } else if (c == u'.') {
      atom(L"[\\s\\S]");
      ++i;
    } else if (c == u'\\') {
      if (i + 1 == p.size()) return std::nullopt;
      switch (p[i + 1]) {
        case u'a': atom(L"[a-zA-Z0-9]"); break;
        case u'b': atom(L"[ \\t]"); break;
        case u'c': atom(L"[a-zA-Z]"); break;
        case u'd': atom(L"[0-9]"); break;
        case u'h': atom(L"[0-9a-fA-F]"); break;
        case u'n': atom(L"(?:\\r\\n|\\r|\\n)"); break;
        case u'q': atom(L"(?:\"[^\"]*\"|'[^']*')"); break;
        case u'w': atom(L"[a-zA-Z]+", L"[a-zA-Z]"); break;
        case u'z': atom(L"[0-9]+", L"[0-9]"); break;
        default: atom(Unit(p[i + 1])); break;
      }
      i += 2;
    } else if (c == u'[') {
      std::size_t j = i + 1;
      std::wstring list = L"[";
      if (j < p.size() && p[j] == u'^') {
        list += L'^';
        ++j;
      }
      auto take = [&](char16_t& into) {
        if (j >= p.size()) return false;
        if (p[j] == u'\\') {
          if (j + 1 >= p.size()) return false;
          into = p[j + 1];
          j += 2;
        } else {
          into = p[j++];
        }
        return true;
      };
      int items = 0;
      for (;;) {
        if (j >= p.size()) return std::nullopt;
        if (p[j] == u']') break;
        char16_t low = 0;
        if (!take(low)) return std::nullopt;
        char16_t high = low;
        if (j + 1 < p.size() && p[j] == u'-' && p[j + 1] != u']') {
          ++j;
          if (!take(high) || high < low) return std::nullopt;
        }
        list += Unit(low) + L"-" + Unit(high);
        ++items;
      }
      if (items == 0) return std::nullopt;
      atom(list + L"]");
      i = j + 1;
    } else {
      atom(Unit(c));
      ++i;
    }
  }
  flush();
  return out;
}

std::u16string Units(const std::string& bytes) { return {bytes.begin(), bytes.end()}; }

std::u16string Mapped(std::u16string text, char16_t (*map)(char16_t)) {
  for (char16_t& c : text) c = map(c);
  return text;
}
char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool caseSensitive = input.ConsumeBool();
  const std::u16string patternText = Units(input.ConsumeRandomLengthString(256));
  const std::u16string text = Units(input.ConsumeRemainingBytesAsString());

  tc::Pattern pattern;
  const bool compiled = tc::CompilePattern(pattern, patternText, caseSensitive);
  int quantifiers = 0;
  const std::optional<std::wstring> ecma = ToEcmaScript(patternText, quantifiers);
  CHECK(compiled == ecma.has_value());

  const bool matches = tc::MatchPattern(pattern, text);
  if (!compiled) {
    CHECK(!matches);
    return 0;
  }

  // A search: a match survives text added in front, unless anchored at the start.
  if (matches && patternText[0] != u'^') CHECK(tc::MatchPattern(pattern, u"\x01" + text));
  if (!caseSensitive) {
    CHECK(matches == tc::MatchPattern(pattern, Mapped(text, tc::FoldCase)));
    CHECK(matches == tc::MatchPattern(pattern, Mapped(text, Upper)));
  }

  // The oracle backtracks, so it only gets inputs small enough for it.
  if (caseSensitive && text.size() <= 24 && patternText.size() <= 32 && quantifiers <= 3) {
    try {
      const std::wregex regex(*ecma, std::regex::ECMAScript);
      const bool expected = std::regex_search(std::wstring(text.begin(), text.end()), regex);
      if (expected != matches) {
        std::fprintf(stderr, "pattern \"%s\" text \"%s\": matcher %d, std::regex %d\n", tc::ToUtf8(patternText).c_str(),
                         tc::ToUtf8(text).c_str(), matches, expected);
        std::abort();
      }
    } catch (const std::regex_error&) {
      // The oracle's own limits; nothing to compare.
    }
  }
  return 0;
}
