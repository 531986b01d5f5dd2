// A child's environment block: the launcher's own with a few variables set over it.
#include "base/EnvironmentBlock.h"

#include <algorithm>
#include <vector>

#include "base/Text.h"

namespace tc {

namespace {

// The name of a "NAME=value" string; the hidden "=C:=C:\folder" strings of the current folders keep their first
// "=" in the name.
std::u16string_view NameOf(std::u16string_view variable) {
  return variable.substr(0, variable.find(u'=', 1));
}

bool SortsAfter(std::u16string_view name, std::u16string_view other) {
  for (std::size_t i = 0; i < name.size() && i < other.size(); ++i) {
    const char16_t a = UpperCase(name[i]), b = UpperCase(other[i]);
    if (a != b) return a > b;
  }
  return name.size() > other.size();
}

}  // namespace

std::u16string EnvironmentBlock(std::u16string_view block, const EnvironmentChanges& changes) {
  std::vector<std::u16string_view> variables;
  for (std::size_t at = 0; at < block.size() && block[at] != u'\0';) {
    const std::size_t end = std::min(block.find(u'\0', at), block.size());
    variables.push_back(block.substr(at, end - at));
    at = end + 1;
  }
  std::vector<std::u16string> texts(variables.begin(), variables.end());
  for (const EnvironmentChange& change : changes) {
    std::u16string text = change.name + u"=" + change.value;
    const auto same = std::find_if(texts.begin(), texts.end(),
                                   [&](const std::u16string& t) { return EqualsIgnoreCase(NameOf(t), change.name); });
    if (same != texts.end()) {
      *same = std::move(text);
      continue;
    }
    const auto after = std::find_if(texts.begin(), texts.end(), [&](const std::u16string& t) {
      const std::u16string_view name = NameOf(t);
      return !name.starts_with(u'=') && SortsAfter(name, change.name);
    });
    texts.insert(after, std::move(text));
  }
  std::u16string result;
  for (const std::u16string& text : texts) {
    result += text;
    result += u'\0';
  }
  result += u'\0';
  if (texts.empty()) result += u'\0';  // an empty block is two NULs
  return result;
}

}  // namespace tc
