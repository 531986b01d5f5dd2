// A child's environment block: the launcher's own, with the changes set over it and nothing else moved.
#include <gtest/gtest.h>

#include "base/EnvironmentBlock.h"
#include "base/Text.h"

namespace tc {
namespace {

TEST(EnvironmentBlock, SetsEachChangeInPlaceOrWhereItSortsAndKeepsTheRest) {
  using namespace std::string_literals;
  const std::u16string own = u"=C:=C:\\x\0ALLUSERSPROFILE=C:\\ProgramData\0Path=C:\\Windows\0windir=C:\\Windows\0\0"s;
  struct Case {
    const char* what;
    std::u16string block;
    EnvironmentChanges changes;
    std::u16string expected;
  };
  const Case cases[] = {
      {"no change", own, {}, own},
      {"added where it sorts in upper case", own, {{u"__COMPAT_LAYER", u"DPIUNAWARE"}, {u"path_x", u"1"}},
       u"=C:=C:\\x\0ALLUSERSPROFILE=C:\\ProgramData\0Path=C:\\Windows\0path_x=1\0windir=C:\\Windows\0"
       u"__COMPAT_LAYER=DPIUNAWARE\0\0"s},
      {"replaced in its place, its name ignoring case", own, {{u"PATH", u"D:\\"}},
       u"=C:=C:\\x\0ALLUSERSPROFILE=C:\\ProgramData\0PATH=D:\\\0windir=C:\\Windows\0\0"s},
      {"last of all", own, {{u"zz", u""}},
       u"=C:=C:\\x\0ALLUSERSPROFILE=C:\\ProgramData\0Path=C:\\Windows\0windir=C:\\Windows\0zz=\0\0"s},
      {"an unsorted block keeps its order; the name found anywhere", u"b=1\0a=2\0\0"s, {{u"A", u"3"}},
       u"b=1\0A=3\0\0"s},
      {"an empty block", u"\0\0"s, {{u"X", u"y"}}, u"X=y\0\0"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EnvironmentBlock(c.block, c.changes), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace tc
