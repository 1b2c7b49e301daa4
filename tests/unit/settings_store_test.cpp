#include "config/settings_store.h"

#include <gtest/gtest.h>

#include "config/config_reader.h"

#include <string>

namespace vorn {
namespace {

SettingsStore StoreWith(std::string fileText) {
  SettingsStore store;
  store.ReplaceEntries(ParseConfig(std::move(fileText)));
  return store;
}

TEST(SettingsStoreLookup, IgnoresTheCaseOfTheKey) {
  const SettingsStore store = StoreWith("glarerender = 1");
  EXPECT_EQ(store.LookupText("GLARERENDER"), "1");
  EXPECT_EQ(store.LookupText("glarerender"), "1");
  EXPECT_EQ(store.LookupText("GlareRender"), "1");
  EXPECT_EQ(store.LookupText("Glare"), "");
}

TEST(SettingsStoreLookup, ReadsNumbersAsAtoiDoes) {
  const SettingsStore store =
      StoreWith("a = 42\nb = abc\nc = 12px\nd = -7\ne = +3\nf = 99999999999\ng = -99999999999\n");
  EXPECT_EQ(store.LookupNumber("a"), 42);
  EXPECT_EQ(store.LookupNumber("b"), 0);
  EXPECT_EQ(store.LookupNumber("c"), 12);
  EXPECT_EQ(store.LookupNumber("d"), -7);
  EXPECT_EQ(store.LookupNumber("e"), 3);
  EXPECT_EQ(store.LookupNumber("f"), 2147483647);
  EXPECT_EQ(store.LookupNumber("g"), -2147483647 - 1);
  EXPECT_EQ(store.LookupNumber("absent"), -1);
}

TEST(SettingsStoreSet, UsesTheFirstOfTwoEntriesWithOneKey) {
  SettingsStore store = StoreWith("width = 800\nwidth = 1024\n");
  EXPECT_EQ(store.LookupNumber("Width"), 800);
  store.Set("WIDTH", "1280");
  ASSERT_EQ(store.Entries().size(), 2u);
  EXPECT_EQ(store.Entries().Value(0), "1280");
  EXPECT_EQ(store.Entries().Value(1), "1024");
}

TEST(SettingsStoreSet, AppendsAnAbsentKeyInLowerCaseAfterEveryEntry) {
  SettingsStore store = StoreWith("a = 1\nb = 2\n");
  store.Set("TreeNormalMap", "0");
  ASSERT_EQ(store.Entries().size(), 3u);
  EXPECT_EQ(store.Entries().Key(2), "treenormalmap");
  EXPECT_EQ(store.Entries().Value(2), "0");
}

TEST(SettingsStoreSet, KeepsOrderAcrossManyAppends) {
  SettingsStore store;
  for (int i = 0; i < 40; ++i) store.Set("key" + std::to_string(i), std::to_string(i));
  ASSERT_EQ(store.Entries().size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(store.Entries().Value(i), std::to_string(i));
}

TEST(SettingsStoreSet, CutsTextsToTheGamesBufferSize) {
  SettingsStore store;
  store.Set("k", std::string(600, 'v'));
  EXPECT_EQ(store.LookupText("k").size(), kMaxTextLength);
}

TEST(SettingsStoreLowerAscii, ChangesOnlyTheLettersAToZ) {
  EXPECT_EQ(LowerAscii("AbZ_\xC4\xD6@[09"), "abz_\xC4\xD6@[09");
}

TEST(SettingsStoreRegion, IsKoreanWithItsCodePage) {
  SettingsStore store;
  EXPECT_STREQ(store.RegionCode(), "KR");
  EXPECT_EQ(store.RegionCodePage(), 949);
}

}  // namespace
}  // namespace vorn
