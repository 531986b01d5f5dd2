// What a child gets besides its starter's template: Windows' own scaling of its windows, paths it can read.
#include "launch/ChildSurroundings.h"

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "launch/StartDecision.h"

namespace tc {

namespace {

constexpr char16_t kCompatibilityLayer[] = u"__COMPAT_LAYER";
constexpr char16_t kDpiUnaware[] = u"DPIUNAWARE";
// A variable holds at most 32,767 characters with its terminator.
constexpr std::size_t kMaxVariableValue = 32766;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::uint32_t DisplayDpi(Registry& registry) {
  RegistryKey metrics(registry, RegistryRoot::CurrentUser, u"Control Panel\\Desktop\\WindowMetrics");
  const std::optional<std::uint32_t> dpi = metrics.ReadDword(u"AppliedDPI");
  return dpi && *dpi >= 48 && *dpi <= 960 ? *dpi : kNormalDpi;
}

std::optional<EnvironmentChange> DpiUnawareLayer(Environment& environment) {
  // The launcher's own layers, as long as a variable can be; the reference itself when there are none.
  const std::u16string reference = u"%" + std::u16string(kCompatibilityLayer) + u"%";
  std::u16string layers = environment.Expand(reference, kMaxVariableValue + 1).value_or(u"");
  if (layers == reference) layers.clear();
  for (std::size_t at = 0; at < layers.size();) {
    const std::size_t end = std::min(layers.find(u' ', at), layers.size());
    if (EqualsIgnoreCase(std::u16string_view(layers).substr(at, end - at), kDpiUnaware)) return std::nullopt;
    at = end + 1;
  }
  std::u16string value = Trim(layers);
  if (!value.empty()) value += u' ';
  value += kDpiUnaware;
  if (value.size() > kMaxVariableValue) return std::nullopt;
  return EnvironmentChange{kCompatibilityLayer, std::move(value)};
}

std::optional<std::u16string> PathForCodePage(Files& files, Environment& environment, const std::u16string& path) {
  if (environment.FitsCodePage(path)) return path;
  std::optional<std::u16string> shortPath = files.ShortPath(path);
  if (shortPath && environment.FitsCodePage(*shortPath)) return shortPath;
  return std::nullopt;
}

std::u16string PathAsCodePageReadsIt(Environment& environment, std::u16string_view path) {
  std::u16string read;
  for (std::size_t i = 0; i < path.size(); ++i) {
    // A pair of surrogates is one character, and becomes one "?".
    const std::size_t length = IsHighSurrogate(path[i]) && i + 1 < path.size() && IsLowSurrogate(path[i + 1]) ? 2 : 1;
    const std::u16string_view character = path.substr(i, length);
    if (environment.FitsCodePage(character)) {
      read += character;
    } else {
      read += u'?';
    }
    i += length - 1;
  }
  return read;
}

}  // namespace tc
