// The environment contract, and its run against the in-memory table.
#include "contract/EnvironmentContract.h"

#include "base/Text.h"
#include "platform/host/MemoryEnvironment.h"

namespace tc {

TEST_P(EnvironmentContract, ExpandsDefinedNamesWhateverTheirCase) {
  auto environment = GetParam().make();
  GetParam().define(*environment, u"TC_CONTRACT_HOME", u"C:\\Users\\ann");
  EXPECT_EQ(environment->Expand(u"%TC_CONTRACT_HOME%\\javame-sdk\\3.0\\work", 4096),
            u"C:\\Users\\ann\\javame-sdk\\3.0\\work");
  EXPECT_EQ(environment->Expand(u"%tc_contract_home%", 4096), u"C:\\Users\\ann");
  EXPECT_EQ(environment->Expand(u"no references", 4096), u"no references");
}

TEST_P(EnvironmentContract, LeavesUndefinedReferencesAsWritten) {
  auto environment = GetParam().make();
  GetParam().define(*environment, u"TC_CONTRACT_B", u"bee");
  EXPECT_EQ(environment->Expand(u"%TC_CONTRACT_UNDEFINED%\\x", 4096), u"%TC_CONTRACT_UNDEFINED%\\x");
  EXPECT_EQ(environment->Expand(u"100% sure", 4096), u"100% sure");
  EXPECT_EQ(environment->Expand(u"%TC_CONTRACT_UNDEFINED%TC_CONTRACT_B%", 4096),
            u"%TC_CONTRACT_UNDEFINED%TC_CONTRACT_B%");  // the closing % of an undefined name opens nothing
  EXPECT_EQ(environment->Expand(u"%TC_CONTRACT_UNDEFINED%%TC_CONTRACT_B%", 4096), u"%TC_CONTRACT_UNDEFINED%bee");
}

TEST_P(EnvironmentContract, RefusesAResultThatDoesNotFit) {
  auto environment = GetParam().make();
  GetParam().define(*environment, u"TC_CONTRACT_LONG", std::u16string(100, u'x'));
  EXPECT_FALSE(environment->Expand(u"%TC_CONTRACT_LONG%", 50).has_value());
  EXPECT_EQ(environment->Expand(u"%TC_CONTRACT_LONG%", 101), std::u16string(100, u'x'));
}

// The tests run with a Western code page (1252), as the host models it.
TEST_P(EnvironmentContract, TellsWhatTheCodePageHoldsAndNamesErrors) {
  auto environment = GetParam().make();
  EXPECT_TRUE(environment->FitsCodePage(u"C:\\Games\\Sch\u00f6n \u20ac.jar"));
  EXPECT_TRUE(environment->FitsCodePage(u""));
  for (const std::u16string& text : {std::u16string(u"C:\\\u0418\u0433\u0440\u0430.jar"), std::u16string(u"\u674e"),
                                     std::u16string(1, char16_t(0xD800)), std::u16string(u"\U0001F600")}) {
    EXPECT_FALSE(environment->FitsCodePage(text)) << ToUtf8(text);
  }
  const std::u16string missing = environment->ErrorText(2);
  EXPECT_FALSE(missing.empty());
  EXPECT_NE(missing.back(), u'\n');
  EXPECT_EQ(environment->ErrorText(0xDEADBEEF), u"Error 3735928559.");
}

INSTANTIATE_TEST_SUITE_P(Memory, EnvironmentContract,
                         ::testing::Values(EnvironmentHost{
                             [] { return std::make_unique<MemoryEnvironment>(); },
                             [](Environment& environment, const std::u16string& name, const std::u16string& value) {
                               static_cast<MemoryEnvironment&>(environment).Define(name, value);
                             }}));

}  // namespace tc
