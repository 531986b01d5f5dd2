// Pattern compiler and matcher: the pattern becomes a small automaton that is run over the text once.
#include "detect/Pattern.h"

#include <initializer_list>
#include <optional>

#include "base/Text.h"

namespace tc {

namespace {


}  // namespace

// Parses the pattern into elements, then builds the automaton from the last element to the first, so that
// every state's successor exists when the state is made.
class PatternCompiler {
 public:
  PatternCompiler(Pattern& pattern, std::u16string_view text) : pattern_(pattern), text_(text) {}

  bool Compile() {
    std::size_t i = 0;
    if (!text_.empty() && text_[0] == u'^') {
      pattern_.anchoredAtStart_ = true;
      i = 1;
    }
    while (i < text_.size()) {
      const char16_t c = text_[i];
      if (c == u'$' && i + 1 == text_.size()) {
        pattern_.anchoredAtEnd_ = true;
        ++i;
      } else if (c == u'*' || c == u'+') {
        // A quantifier needs an element of its own to repeat: not at the start, not after another quantifier.
        if (elements_.empty() || elements_.back().quantifier != Quantifier::One) return false;
        elements_.back().quantifier = c == u'*' ? Quantifier::ZeroOrMore : Quantifier::OneOrMore;
        ++i;
      } else if (c == u'.') {
        elements_.push_back(Single(AnyTest()));
        ++i;
      } else if (c == u'[') {
        if (!ParseBracket(i)) return false;
      } else if (c == u'\\') {
        if (i + 1 == text_.size()) return false;
        ParseEscape(text_[i + 1]);
        i += 2;
      } else {
        elements_.push_back(Single(LiteralTest(c)));
        ++i;
      }
    }

    std::uint32_t out = NewState({Pattern::State::Kind::Accept, {}, 0, 0});
    for (auto element = elements_.rbegin(); element != elements_.rend(); ++element) out = Build(*element, out);
    pattern_.start_ = out;
    return true;
  }

 private:
  enum class AtomKind : std::uint8_t {
    Single,     // one character
    Run,        // one or more characters of one test, as "\w" and "\z"
    LineBreak,  // "\n": CR, LF or CR LF
    Quoted,     // "\q": "..." or '...' without the same quote inside
  };
  enum class Quantifier : std::uint8_t { One, ZeroOrMore, OneOrMore };
  struct Element {
    AtomKind kind;
    Pattern::CharTest test;
    Quantifier quantifier;
  };

  Pattern::CharTest LiteralTest(char16_t c) const {
    Pattern::CharTest test;
    test.kind = Pattern::CharTest::Kind::Literal;
    test.literal = pattern_.caseSensitive_ ? c : FoldCase(c);
    return test;
  }

  static Pattern::CharTest AnyTest() {
    Pattern::CharTest test;
    test.kind = Pattern::CharTest::Kind::Any;
    return test;
  }

  Pattern::CharTest RangesTest(std::initializer_list<Pattern::Range> ranges, bool negated = false) {
    Pattern::CharTest test;
    test.kind = Pattern::CharTest::Kind::Ranges;
    test.negated = negated;
    test.firstRange = static_cast<std::uint32_t>(pattern_.ranges_.size());
    test.rangeCount = static_cast<std::uint32_t>(ranges.size());
    pattern_.ranges_.insert(pattern_.ranges_.end(), ranges.begin(), ranges.end());
    return test;
  }

  void ParseEscape(char16_t letter) {
    switch (letter) {
      case u'a': elements_.push_back(Single(RangesTest({{u'a', u'z'}, {u'A', u'Z'}, {u'0', u'9'}}))); return;
      case u'b': elements_.push_back(Single(RangesTest({{u' ', u' '}, {u'\t', u'\t'}}))); return;
      case u'c': elements_.push_back(Single(RangesTest({{u'a', u'z'}, {u'A', u'Z'}}))); return;
      case u'd': elements_.push_back(Single(RangesTest({{u'0', u'9'}}))); return;
      case u'h': elements_.push_back(Single(RangesTest({{u'0', u'9'}, {u'a', u'f'}, {u'A', u'F'}}))); return;
      case u'w': elements_.push_back(Run(RangesTest({{u'a', u'z'}, {u'A', u'Z'}}))); return;
      case u'z': elements_.push_back(Run(RangesTest({{u'0', u'9'}}))); return;
      case u'n': elements_.push_back({AtomKind::LineBreak, {}, Quantifier::One}); return;
      case u'q': elements_.push_back({AtomKind::Quoted, {}, Quantifier::One}); return;
      default: elements_.push_back(Single(LiteralTest(letter))); return;
    }
  }

  static Element Single(Pattern::CharTest test) { return {AtomKind::Single, test, Quantifier::One}; }
  static Element Run(Pattern::CharTest test) { return {AtomKind::Run, test, Quantifier::One}; }

  // "[" list "]", with ranges "a-z", backslash escapes and a leading "^" for the complement. `i` is at the "[";
  // on success it moves past the "]".
  bool ParseBracket(std::size_t& i) {
    std::size_t j = i + 1;
    bool negated = false;
    if (j < text_.size() && text_[j] == u'^') {
      negated = true;
      ++j;
    }
    const auto first = static_cast<std::uint32_t>(pattern_.ranges_.size());
    // One character of the list, escaped or not; nullopt at the end of the text.
    auto take = [&]() -> std::optional<char16_t> {
      if (j >= text_.size()) return std::nullopt;
      if (text_[j] == u'\\') {
        if (j + 1 >= text_.size()) return std::nullopt;
        j += 2;
        return text_[j - 1];
      }
      return text_[j++];
    };
    while (true) {
      if (j >= text_.size()) return false;
      if (text_[j] == u']') break;
      const std::optional<char16_t> low = take();
      if (!low) return false;
      char16_t high = *low;
      // A "-" just before the "]" is a literal dash, not a range.
      if (j + 1 < text_.size() && text_[j] == u'-' && text_[j + 1] != u']') {
        ++j;
        const std::optional<char16_t> end = take();
        if (!end || *end < *low) return false;
        high = *end;
      }
      pattern_.ranges_.push_back({*low, high});
    }
    const auto count = static_cast<std::uint32_t>(pattern_.ranges_.size()) - first;
    if (count == 0) return false;  // "[]" could never match
    Pattern::CharTest test;
    test.kind = Pattern::CharTest::Kind::Ranges;
    test.negated = negated;
    test.firstRange = first;
    test.rangeCount = count;
    elements_.push_back(Single(test));
    i = j + 1;
    return true;
  }

  std::uint32_t NewState(const Pattern::State& state) {
    pattern_.states_.push_back(state);
    return static_cast<std::uint32_t>(pattern_.states_.size() - 1);
  }
  std::uint32_t Consume(const Pattern::CharTest& test, std::uint32_t next) {
    return NewState({Pattern::State::Kind::Consume, test, next, 0});
  }
  std::uint32_t Fork(std::uint32_t next, std::uint32_t alternative) {
    return NewState({Pattern::State::Kind::Fork, {}, next, alternative});
  }
  Pattern::State& At(std::uint32_t state) { return pattern_.states_[state]; }

  // The states of one occurrence of the element's atom, continuing with `out`; returns the entry state.
  std::uint32_t BuildAtom(const Element& element, std::uint32_t out) {
    switch (element.kind) {
      case AtomKind::Single:
        return Consume(element.test, out);
      case AtomKind::Run: {
        const std::uint32_t loop = Fork(0, out);
        const std::uint32_t body = Consume(element.test, loop);
        At(loop).next = body;
        return body;
      }
      case AtomKind::LineBreak: {
        const std::uint32_t afterCr = Fork(Consume(LiteralTest(u'\n'), out), out);
        return Fork(Consume(LiteralTest(u'\r'), afterCr), Consume(LiteralTest(u'\n'), out));
      }
      case AtomKind::Quoted: {
        std::uint32_t entries[2];
        int k = 0;
        for (const char16_t quote : {u'"', u'\''}) {
          const std::uint32_t close = Consume(RawLiteral(quote), out);
          const std::uint32_t loop = Fork(0, close);
          At(loop).next = Consume(OtherThan(quote), loop);
          entries[k++] = Consume(RawLiteral(quote), loop);
        }
        return Fork(entries[0], entries[1]);
      }
    }
    return out;
  }

  Pattern::CharTest RawLiteral(char16_t c) const {
    Pattern::CharTest test;
    test.kind = Pattern::CharTest::Kind::Literal;
    test.literal = c;
    return test;
  }
  Pattern::CharTest OtherThan(char16_t c) { return RangesTest({{c, c}}, true); }

  std::uint32_t Build(const Element& element, std::uint32_t out) {
    switch (element.quantifier) {
      case Quantifier::One:
        return BuildAtom(element, out);
      case Quantifier::ZeroOrMore: {
        const std::uint32_t loop = Fork(0, out);
        At(loop).next = BuildAtom(element, loop);
        return loop;
      }
      case Quantifier::OneOrMore: {
        const std::uint32_t loop = Fork(0, out);
        const std::uint32_t entry = BuildAtom(element, loop);
        At(loop).next = entry;
        return entry;
      }
    }
    return out;
  }

  Pattern& pattern_;
  std::u16string_view text_;
  std::vector<Element> elements_;
};

bool CompilePattern(Pattern& pattern, std::u16string_view text, bool caseSensitive) {
  pattern = Pattern();
  pattern.caseSensitive_ = caseSensitive;
  PatternCompiler compiler(pattern, text);
  if (!compiler.Compile()) {
    pattern = Pattern();
    pattern.caseSensitive_ = caseSensitive;
    return false;
  }
  pattern.compiled_ = true;
  return true;
}

// Runs the automaton over the text with the set of states alive at each position (no backtracking, so no
// pattern can make it slow or deep). The answer is the same as a greedy backtracking search would give.
class PatternRun {
 public:
  PatternRun(const std::vector<Pattern::State>& states, const std::vector<Pattern::Range>& ranges, bool caseSensitive)
      : states_(states), ranges_(ranges), caseSensitive_(caseSensitive), mark_(states.size(), 0) {}

  // Adds `state` and the states it forks into to `list`; true when the end of the pattern is among them.
  bool Add(std::vector<std::uint32_t>& list, std::uint32_t state, std::size_t generation) {
    bool accepts = false;
    if (mark_[state] == generation) return false;
    stack_.push_back(state);
    while (!stack_.empty()) {
      const std::uint32_t s = stack_.back();
      stack_.pop_back();
      if (mark_[s] == generation) continue;
      mark_[s] = generation;
      const Pattern::State& at = states_[s];
      switch (at.kind) {
        case Pattern::State::Kind::Fork:
          if (mark_[at.alternative] != generation) stack_.push_back(at.alternative);
          if (mark_[at.next] != generation) stack_.push_back(at.next);
          break;
        case Pattern::State::Kind::Accept:
          accepts = true;
          break;
        case Pattern::State::Kind::Consume:
          list.push_back(s);
          break;
      }
    }
    return accepts;
  }

  bool Test(const Pattern::CharTest& test, char16_t c) const {
    switch (test.kind) {
      case Pattern::CharTest::Kind::Literal:
        return c == test.literal;
      case Pattern::CharTest::Kind::Any:
        return true;
      case Pattern::CharTest::Kind::Ranges: {
        // The text is folded to lower case; a list written in upper case still takes its letters.
        const char16_t upper = caseSensitive_ ? c : UpperCase(c);
        bool in = false;
        for (std::uint32_t r = test.firstRange; r < test.firstRange + test.rangeCount && !in; ++r) {
          const Pattern::Range& range = ranges_[r];
          in = (c >= range.first && c <= range.last) || (upper >= range.first && upper <= range.last);
        }
        return in != test.negated;
      }
    }
    return false;
  }

 private:
  const std::vector<Pattern::State>& states_;
  const std::vector<Pattern::Range>& ranges_;
  bool caseSensitive_;
  std::vector<std::size_t> mark_;
  std::vector<std::uint32_t> stack_;
};

bool MatchPattern(const Pattern& pattern, std::u16string_view text) {
  if (!pattern.compiled_) return false;
  PatternRun run(pattern.states_, pattern.ranges_, pattern.caseSensitive_);
  std::vector<std::uint32_t> current;
  std::vector<std::uint32_t> next;
  // Generation p + 1 marks the states already listed for text position p.
  bool accepts = run.Add(current, pattern.start_, 1);
  for (std::size_t p = 0;; ++p) {
    if (accepts && (!pattern.anchoredAtEnd_ || p == text.size())) return true;
    if (p == text.size()) return false;
    if (pattern.anchoredAtStart_ && current.empty()) return false;
    const char16_t c = pattern.caseSensitive_ ? text[p] : FoldCase(text[p]);
    next.clear();
    accepts = false;
    for (const std::uint32_t s : current) {
      const Pattern::State& at = pattern.states_[s];
      if (run.Test(at.test, c)) accepts = run.Add(next, at.next, p + 2) || accepts;
    }
    // A search: unless anchored, a match may also begin at the next position.
    if (!pattern.anchoredAtStart_) accepts = run.Add(next, pattern.start_, p + 2) || accepts;
    current.swap(next);
  }
}

}  // namespace tc
