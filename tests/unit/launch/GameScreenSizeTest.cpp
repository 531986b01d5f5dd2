// The screen a game was made for: each source in its order, each separator, the bounds and hostile values.
#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"
#include "launch/GameScreenSize.h"

namespace tc {
namespace {

AttributeFile Attributes(const std::string& text) {
  AttributeFile file;
  file.Parse(std::vector<std::uint8_t>(text.begin(), text.end()));
  return file;
}

TEST(GameScreenSize, TheFirstSourceThatGivesASizeInRangeWins) {
  struct Case {
    std::string descriptor, manifest;
    std::u16string jar, jad;
    ScreenSize expected;
  };
  const std::string nokia = "Nokia-MIDlet-Original-Display-Size: ";
  const std::string big = std::string(1 << 20, '1');
  const Case cases[] = {
      {nokia + "176,208\n", nokia + "128,160\n", u"C:\\g_240x320.jar", u"", {176, 208}},  // the descriptor wins
      {"", nokia + "128,160\n", u"C:\\g_240x320.jar", u"", {128, 160}},
      {"MIDxlet-ScreenSize: 240x320\nSEMC-Screen-Size: 176x220\n", "", u"", u"", {240, 320}},
      {"SEMC-Screen-Size:  176 X 220 \n", "", u"", u"", {176, 220}},
      {nokia + "240*320\n", "", u"", u"", {240, 320}},
      {nokia + "240 \t 320\n", "", u"", u"", {240, 320}},
      {nokia + "64,2048\n", "", u"", u"", {64, 2048}},
      // Passed over: out of range, malformed, hostile; the next source is asked.
      {nokia + "63,320\n" + "MIDxlet-ScreenSize: 240,2049\nSEMC-Screen-Size: 240320\n", "", u"", u"", {240, 320}},
      {nokia + "+240,320\n", nokia + "-240,320\n", u"C:\\x\\a_128x160.jar", u"", {128, 160}},
      {nokia + "240,,320\n", nokia + "240,320,1\n", u"", u"C:\\pack(176x208).jad", {176, 208}},
      {nokia + "\xef\xbc\x92\xef\xbc\x94\xef\xbc\x90,320\nMIDxlet-ScreenSize: " + std::string(40, '9') +  // full-width
           ",320\nSEMC-Screen-Size: " + big + "," + big + "\n",
       nokia + std::string("240\0,320\n", 9), u"", u"", {240, 320}},
      // Numbers that would wrap round into range (2^64 + 176, 2^32 + 128).
      {nokia + "18446744073709551792,208\n", "", u"C:\\g_4294967424x160.jar", u"", {240, 320}},
      // File names: the JAR's, then the JAD's; numbers that stand alone, the first pair in range.
      {"", "", u"C:\\240x320\\Game176x208.jar", u"C:\\g 128x160.jad", {176, 208}},
      {"", "", u"C:\\game 320X240 touch.jar", u"", {320, 240}},
      {"", "", u"C:\\Asphalt4_240\u00d7320.jar", u"", {240, 320}},
      {"", "", u"C:\\v1x2 12x240x320.jar", u"", {240, 320}},
      {"", "", u"C:\\A1240x3200.jar", u"C:\\s\\b_128*160.jad", {128, 160}},
      {"", "", u"C:\\" + std::u16string(254, u'x') + u"9", u"C:\\" + std::u16string(200, u'9') + u"x240", {240, 320}},
      // Nothing says: the usual screen, turned when the suite asks for landscape.
      {"Nokia-MIDlet-App-Orientation: portrait\n", "Nokia-MIDlet-App-Orientation: landscape\n", u"", u"", {240, 320}},
      {"", "Nokia-MIDlet-App-Orientation: LandScape\n", u"", u"", {320, 240}},
  };
  for (const Case& c : cases) {
    const ScreenSize size = GameScreenSize(Attributes(c.descriptor), Attributes(c.manifest), c.jar, c.jad);
    EXPECT_EQ(size, c.expected) << c.descriptor.substr(0, 80) << "|" << c.manifest.substr(0, 80) << "|"
                                << ToUtf8(c.jar).substr(0, 80) << " -> " << size.width << "x" << size.height;
  }
}

}  // namespace
}  // namespace tc
