// A starter's executable and argument template, expanded with the opened files into one child command line.
#include "launch/LaunchCommand.h"

namespace tc {

LaunchCommand::LaunchCommand(std::u16string executableFile, std::u16string argumentTemplate)
    : executableFile_(std::move(executableFile)), template_(std::move(argumentTemplate)) {}

void LaunchCommand::AddQuotedValue(std::u16string_view text) {
  std::u16string value;
  value.reserve(text.size() + 2);
  value += u'"';
  value += text;
  value += u'"';
  values_.push_back(std::move(value));
}

std::optional<std::u16string> LaunchCommand::CommandLine(std::u16string_view externalArguments) const {
  std::u16string line = u"\"" + executableFile_ + u"\" ";
  // An empty "%*" may take back the space after the executable, but the executable itself is never taken
  // back, and the space returns when anything but a blank follows: the program's path and its first
  // argument would otherwise run together into one word.
  const std::size_t fixed = line.size() - 1;
  const auto separate = [&](char16_t first) {
    if (line.size() == fixed && first != u' ' && first != u'\t') line += u' ';
  };
  // Each placeholder takes back at most one character, so past this length the line can never fit again;
  // stopping there keeps a hostile template from growing the line without bound.
  const std::size_t hopeless = kMaxCommandLineLength + template_.size();
  const std::u16string_view text = template_;

  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
    const bool placeholder = c == u'%' && (next == u'*' || (next >= u'1' && next <= u'9'));
    if (!placeholder) {
      separate(c);
      line += c;
      continue;
    }
    ++i;
    std::u16string_view value;
    if (next == u'*') {
      value = externalArguments;
    } else {
      const std::size_t index = static_cast<std::size_t>(next - u'1');
      if (index >= values_.size()) continue;  // an unset value produces nothing
      value = values_[index];
    }
    if (!value.empty() && value.front() == u'"' && line.size() > fixed + 1 && line.back() == u'"') {
      line.pop_back();  // the template's opening quote and the value's merge
    }
    if (value.empty()) {
      if (line.size() > fixed && line.back() == u' ') line.pop_back();
      continue;
    }
    separate(value.front());
    line += value;
    if (value.size() > 1 && value.back() == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
      ++i;  // the closing quotes merge
    }
    if (line.size() > hopeless) return std::nullopt;
  }
  if (line.size() > kMaxCommandLineLength) return std::nullopt;
  return line;
}

bool LaunchCommand::Start(Processes& processes, std::u16string_view externalArguments) const {
  const std::optional<std::u16string> line = CommandLine(externalArguments);
  return line && processes.Start(*line);
}

}  // namespace tc
