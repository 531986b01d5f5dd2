// The candidate list: duplicates dropped, and only the best rank of a group kept as main.
#include <gtest/gtest.h>

#include <algorithm>

#include "detect/DetectedStarter.h"
#include "platform/host/MemoryFiles.h"

namespace tc {
namespace {

DetectedStarter Candidate(std::u16string group, std::int32_t rank, std::u16string name, std::u16string exe) {
  DetectedStarter d;
  d.Group = std::move(group);
  d.Rank = rank;
  d.Name = std::move(name);
  d.ExecutableFile = std::move(exe);
  return d;
}

TEST(AddDetected, DropsARecordEqualToOneListed) {
  MemoryFiles files;
  DetectedStarterList list;
  AddDetected(files, list, Candidate(u"g", 0, u"Java", u"C:\\Java\\bin\\java.exe"));
  DetectedStarter again = Candidate(u"g", 5, u"Java", u"c:\\JAVA\\BIN\\JAVA.EXE");  // case of A-Z ignored
  again.Arguments = u"different";
  AddDetected(files, list, again);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Rank, 0);
  EXPECT_TRUE(list[0].Main);
  // Group and name compare exactly.
  AddDetected(files, list, Candidate(u"G", 0, u"Java", u"C:\\Java\\bin\\java.exe"));
  AddDetected(files, list, Candidate(u"g", 0, u"java", u"C:\\Java\\bin\\java.exe"));
  EXPECT_EQ(list.size(), 3u);
  // The same file reached through a linked folder is the same executable; another file is not.
  ASSERT_TRUE(files.AddFile(u"C:\\Program Files\\Java\\bin\\java.exe", ""));
  ASSERT_TRUE(files.AddFile(u"C:\\Java2\\bin\\java.exe", ""));
  ASSERT_TRUE(files.Link(u"C:\\Java", u"C:\\Program Files\\Java"));
  AddDetected(files, list, Candidate(u"g", 0, u"Java", u"C:\\PROGRAM FILES\\Java\\bin\\java.exe"));
  AddDetected(files, list, Candidate(u"g", 0, u"Java", u"C:\\Java2\\bin\\java.exe"));
  EXPECT_EQ(list.size(), 4u);
}

TEST(AddDetected, OnlyTheHighestRankOfAGroupStaysMainWhateverTheOrder) {
  std::vector<std::int32_t> ranks{1, 0, -1};
  do {
    MemoryFiles files;
  DetectedStarterList list;
    for (std::int32_t rank : ranks) {
      const std::u16string name(1, static_cast<char16_t>(u'b' + rank));
      AddDetected(files, list, Candidate(u"JRE 1.6 (GUI)", rank, name, u"x"));
    }
    for (const DetectedStarter& d : list) EXPECT_EQ(d.Main, d.Rank == 1) << d.Rank;
  } while (std::next_permutation(ranks.begin(), ranks.end(), std::greater<>()));
}

TEST(AddDetected, EqualRanksAndOtherGroupsLeaveMainAlone) {
  MemoryFiles files;
  DetectedStarterList list;
  AddDetected(files, list, Candidate(u"a", 0, u"one", u"x"));
  AddDetected(files, list, Candidate(u"a", 0, u"two", u"y"));
  AddDetected(files, list, Candidate(u"b", 9, u"one", u"x"));  // the same name and file in another group
  EXPECT_TRUE(std::all_of(list.begin(), list.end(), [](const DetectedStarter& d) { return d.Main; }));
  // A higher rank arriving later demotes the records already listed.
  AddDetected(files, list, Candidate(u"a", 1, u"three", u"z"));
  EXPECT_FALSE(list[0].Main);
  EXPECT_FALSE(list[1].Main);
  EXPECT_TRUE(list[3].Main);
}

}  // namespace
}  // namespace tc
