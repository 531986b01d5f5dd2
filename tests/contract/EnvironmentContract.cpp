// The environment contract, and its run against the in-memory table.
#include "contract/EnvironmentContract.h"

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

INSTANTIATE_TEST_SUITE_P(Memory, EnvironmentContract,
                         ::testing::Values(EnvironmentHost{
                             [] { return std::make_unique<MemoryEnvironment>(); },
                             [](Environment& environment, const std::u16string& name, const std::u16string& value) {
                               static_cast<MemoryEnvironment&>(environment).Define(name, value);
                             }}));

}  // namespace tc
