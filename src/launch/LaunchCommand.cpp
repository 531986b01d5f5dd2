// A starter's executable and argument template, expanded with the opened files into one child command line.
#include "launch/LaunchCommand.h"

#include <cstring>

#include "base/Text.h"

namespace tc {

namespace {

// Emulators that open their argument with Java's URL class read "C:\Games\x.jar" as a URL of the scheme "c".
// The URL holds no quote, so it merges with none of the template's; an empty path has none, like a blank value.
std::u16string FileUrl(std::u16string_view path) {
  if (path.empty()) return {};
  constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string url = u"file:///";
  for (const char c : ToUtf8(path)) {
    const auto byte = static_cast<unsigned char>(c == '\\' ? '/' : c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
        (byte != 0 && std::strchr("-._~/:", byte))) {
      url += static_cast<char16_t>(byte);
    } else {
      url += {u'%', static_cast<char16_t>(kHex[byte >> 4]), static_cast<char16_t>(kHex[byte & 0xF])};
    }
  }
  return url;
}

}  // namespace

LaunchCommand::LaunchCommand(std::u16string executableFile, std::u16string argumentTemplate, StarterKind kind)
    : executableFile_(std::move(executableFile)), template_(std::move(argumentTemplate)), kind_(kind) {}

void LaunchCommand::AddQuotedValue(std::u16string_view text, std::u16string_view path) {
  std::u16string value;
  value.reserve(text.size() + 2);
  value += u'"';
  value += text;
  value += u'"';
  values_.push_back({std::move(value), std::u16string(path)});
}

bool LaunchCommand::UsesPlainValue(std::size_t index) const {
  for (std::size_t i = 0; i < template_.size(); ++i) {
    const Placeholder placeholder = PlaceholderAt(template_, i, kind_);
    if (placeholder.length == 0) continue;
    if (!placeholder.external && placeholder.screen == ScreenSide::None && !placeholder.url &&
        placeholder.value == index) {
      return true;
    }
    i += placeholder.length - 1;
  }
  return false;
}

std::optional<std::u16string> LaunchCommand::CommandLine(std::u16string_view externalArguments) const {
  std::u16string line = u"\"" + executableFile_ + u"\" ";
  if (!leading_.empty()) line += leading_ + u" ";
  // An empty "%*" may take back the space after the executable (and its leading arguments), but neither is ever
  // taken back, and the space returns when anything but a blank follows: the program's path and its first
  // argument would otherwise run together into one word.
  const std::size_t fixed = line.size() - 1;
  const auto separate = [&](char16_t first) {
    if (line.size() == fixed && first != u' ' && first != u'\t') line += u' ';
  };
  // Each placeholder takes back at most one character, so past this length the line can never fit again;
  // stopping there keeps a hostile template from growing the line without bound.
  const std::size_t hopeless = kMaxCommandLineLength + template_.size();
  const std::u16string_view text = template_;
  std::u16string url;
  std::u16string side;

  for (std::size_t i = 0; i < text.size(); ++i) {
    const Placeholder placeholder = PlaceholderAt(text, i, kind_);
    if (placeholder.length == 0) {
      separate(text[i]);
      line += text[i];
      continue;
    }
    i += placeholder.length - 1;
    std::u16string_view value = externalArguments;
    if (placeholder.screen != ScreenSide::None) {
      if (!screen_) continue;
      side = Format(u"%u", {placeholder.screen == ScreenSide::Width ? screen_->width : screen_->height});
      value = side;
    } else if (!placeholder.external) {
      if (placeholder.value >= values_.size()) continue;  // an unset value produces nothing
      value = values_[placeholder.value].quoted;
      if (placeholder.url) {
        url = FileUrl(values_[placeholder.value].path);
        value = url;
      }
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

bool LaunchCommand::Start(Processes& processes, std::u16string_view externalArguments,
                          const EnvironmentChanges& environment) const {
  const std::optional<std::u16string> line = CommandLine(externalArguments);
  return line && processes.Start(*line, environment);
}

}  // namespace tc
