// What the user said about one file: kept under a hash of its path, read back only for that path, each value in
// its range and of its type, for at most 4096 files.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "catalogue/FileOptions.h"
#include "catalogue/RegistryKey.h"
#include "platform/host/MemoryRegistry.h"

namespace tc {
namespace {

const std::u16string kApp = u"C:\\Games\\app.jar";
const std::u16string kFiles = u"Software\\Tessaly\\Corvalo\\setup1\\Files\\";

RegistryValue Dword(std::uint32_t n) {
  return {RegistryType::Number, {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)}};
}
RegistryValue Text(const std::u16string& text) {
  RegistryValue value{RegistryType::String, std::vector<std::uint8_t>((text.size() + 1) * 2, 0)};
  for (std::size_t i = 0; i < text.size(); ++i) {
    value.data[2 * i] = std::uint8_t(text[i]);
    value.data[2 * i + 1] = std::uint8_t(text[i] >> 8);
  }
  return value;
}

TEST(FileOptions, EachValueIsReadInItsRangeAndOfItsType) {
  EXPECT_EQ(FileOptionsKeyName(kApp), u"ccfbf8caa09b10f7");
  EXPECT_EQ(FileOptionsKeyName(u"c:\\games\\APP.jar"), u"ccfbf8caa09b10f7");
  EXPECT_EQ(FileOptionsKeyName(u"C:\\\u0418\u0433\u0440\u0430\\x.jar"), u"d9862ca15fa321a0");  // only ASCII folds

  struct Case {
    const char* what;
    std::vector<std::pair<std::u16string, RegistryValue>> values;  // besides "Path", when that is not given
    std::optional<FileOptions> expected;
  };
  FileOptions all;
  all = {7, RunsIn::Window, Scaling::ByWindows, 4096, u"-Dsun.java2d.uiScale=1 %1", u"\"a b\" %*", 176, 208};
  const std::u16string huge(kMaxOptionText + 1, u'x');
  const Case cases[] = {
      {"every value", {{u"Starter", Dword(7)}, {u"Runs", Dword(2)}, {u"Scaling", Dword(2)}, {u"Memory", Dword(4096)},
                       {u"JavaOptions", Text(all.javaOptions)}, {u"Arguments", Text(all.arguments)},
                       {u"Width", Dword(176)}, {u"Height", Dword(208)}}, all},
      {"no value but the path", {}, FileOptions{}},
      {"out of range", {{u"Starter", Dword(257)}, {u"Runs", Dword(3)}, {u"Scaling", Dword(0xFFFFFFFF)},
                        {u"Memory", Dword(15)}, {u"Width", Dword(63)}, {u"Height", Dword(2049)}}, FileOptions{}},
      {"the lowest and highest", {{u"Starter", Dword(256)}, {u"Memory", Dword(1048576)}, {u"Width", Dword(64)},
                                  {u"Height", Dword(2048)}},
       FileOptions{256, RunsIn::AsJudged, Scaling::Automatic, 1048576, u"", u"", 64, 2048}},
      {"one side of the screen", {{u"Width", Dword(176)}}, FileOptions{}},
      {"of other types", {{u"Starter", Text(u"7")}, {u"Memory", {RegistryType::Binary, {0, 16, 0, 0}}},
                          {u"JavaOptions", Dword(1)}}, FileOptions{}},
      {"a text longer than the dialog holds", {{u"Arguments", Text(huge)}}, FileOptions{}},
      {"another file's key", {{u"Path", Text(u"C:\\Games\\other.jar")}, {u"Memory", Dword(64)}}, std::nullopt},
      {"the path of another type", {{u"Path", Dword(1)}}, std::nullopt},
  };
  for (const Case& c : cases) {
    MemoryRegistry registry;
    const auto key = registry.Create(RegistryRoot::CurrentUser, kFiles + FileOptionsKeyName(kApp), kKeyWrite);
    registry.SetValue(*key, u"Path", Text(u"c:\\GAMES\\app.jar"));  // the path's case does not matter
    for (const auto& [name, value] : c.values) registry.SetValue(*key, name, value);
    registry.Close(*key);
    EXPECT_EQ(ReadFileOptions(registry, kApp), c.expected) << c.what;
  }
}

// The dialog's writes and the limit on writing are its own test's; here, what a long list of files lets be read.
TEST(FileOptions, AKeyListedAfterTheFirst4096IsNotRead) {
  MemoryRegistry registry;
  for (int i = 0; i < 4096; ++i) {
    const auto other = registry.Create(RegistryRoot::CurrentUser, kFiles + Format(u"%04x", {std::uint32_t(i)}),
                                       kKeyWrite);
    registry.Close(*other);
  }
  const auto late = registry.Create(RegistryRoot::CurrentUser, kFiles + FileOptionsKeyName(kApp), kKeyWrite);
  registry.SetValue(*late, u"Path", Text(kApp));
  registry.Close(*late);
  EXPECT_EQ(ReadFileOptions(registry, kApp), std::nullopt);
  EXPECT_EQ(DeleteTree(registry, RegistryRoot::CurrentUser, kFiles + u"0000"), kRegistryOk);
  EXPECT_EQ(ReadFileOptions(registry, kApp), FileOptions{});
}

}  // namespace
}  // namespace tc
