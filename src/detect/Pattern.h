// The small regular-expression dialect with which detection compares registry names and starter arguments.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tc {

// A compiled pattern and the case mode it was compiled with. A pattern that never compiled, or whose last
// compile failed, matches nothing.
class Pattern {
 private:
  // One character test of the compiled form: a literal, any character, or a bracket list of ranges.
  struct CharTest {
    enum class Kind : std::uint8_t { Literal, Any, Ranges };
    Kind kind = Kind::Literal;
    bool negated = false;
    char16_t literal = 0;
    std::uint32_t firstRange = 0;  // into ranges_, for Kind::Ranges
    std::uint32_t rangeCount = 0;
  };

  // A state of the matching automaton: consume one character, fork, or the end of the pattern.
  struct State {
    enum class Kind : std::uint8_t { Consume, Fork, Accept };
    Kind kind = Kind::Accept;
    CharTest test;
    std::uint32_t next = 0;
    std::uint32_t alternative = 0;  // for Kind::Fork
  };

  struct Range {
    char16_t first;
    char16_t last;
  };

  friend class PatternCompiler;
  friend class PatternRun;
  friend bool CompilePattern(Pattern& pattern, std::u16string_view text, bool caseSensitive);
  friend bool MatchPattern(const Pattern& pattern, std::u16string_view text);

  bool compiled_ = false;
  bool caseSensitive_ = true;
  bool anchoredAtStart_ = false;
  bool anchoredAtEnd_ = false;
  std::uint32_t start_ = 0;
  std::vector<State> states_;
  std::vector<Range> ranges_;
};

// Compiles `text`, discarding what `pattern` held before. False for a malformed pattern, which then matches
// nothing. In case-insensitive mode letters A to Z match either case.
bool CompilePattern(Pattern& pattern, std::u16string_view text, bool caseSensitive);

// A search: true when the pattern matches somewhere in `text` (at its start only with "^", ending at its
// end only with "$"). Time grows with pattern length times text length, whatever the pattern.
bool MatchPattern(const Pattern& pattern, std::u16string_view text);

}  // namespace tc
