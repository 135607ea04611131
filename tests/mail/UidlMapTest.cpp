// The POP3 id map on its own: ids that grow with the index and survive deletions and restarts.
#include "platform/mail/UidlMap.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {
using vellora::mail::UidlMap;
using Ids = std::vector<std::uint32_t>;

TEST(UidlMap, GivesGrowingIdsThatStayAcrossSessionsAndDeletions) {
    vtest::TempDir dir;
    const std::string key = UidlMap::AccountKey("mail.example.org", 995, "anna");
    {
        UidlMap map(dir / "ids");
        EXPECT_EQ(map.Assign(key, {"a1", "b2", "c3"}), (Ids{1, 2, 3}));
    }
    UidlMap again(dir / "ids");  // a later session: same ids from the file
    EXPECT_EQ(again.Assign(key, {"a1", "b2", "c3", "d4"}), (Ids{1, 2, 3, 4}));
    // Another client deleted the first two; a new message arrived.
    EXPECT_EQ(again.Assign(key, {"c3", "d4", "e5"}), (Ids{3, 4, 5}));
    // Even when everything is deleted, ids are never given twice.
    EXPECT_EQ(again.Assign(key, {}), Ids{});
    EXPECT_EQ(again.Assign(key, {"a1"}), Ids{6});
}

TEST(UidlMap, KeepsAccountsApart) {
    vtest::TempDir dir;
    UidlMap map(dir / "ids");
    const auto anna = UidlMap::AccountKey("h", 110, "anna");
    const auto bob = UidlMap::AccountKey("h", 110, "bob");
    const auto otherPort = UidlMap::AccountKey("h", 995, "anna");
    EXPECT_EQ(map.Assign(anna, {"x", "y"}), (Ids{1, 2}));
    EXPECT_EQ(map.Assign(bob, {"y", "z", "w"}), (Ids{1, 2, 3}));
    EXPECT_EQ(map.Assign(otherPort, {"q"}), (Ids{1}));
    EXPECT_EQ(map.Assign(anna, {"y", "n"}), (Ids{2, 3}));
    EXPECT_NE(UidlMap::AccountKey("a b", 1, "c"), UidlMap::AccountKey("a", 1, "b c"));
    EXPECT_EQ(UidlMap::AccountKey("Mail.Example.ORG", 1, "u"),
              UidlMap::AccountKey("mail.example.org", 1, "u"));
    EXPECT_NE(UidlMap::AccountKey("h", 1, "User"), UidlMap::AccountKey("h", 1, "user"));
}

TEST(UidlMap, OddUidlsAndABrokenFileLoseNothingElse) {
    vtest::TempDir dir;
    UidlMap map(dir / "ids");
    const auto key = UidlMap::AccountKey("h", 110, "u");
    EXPECT_EQ(map.Assign(key, {"with space", "100%", "\xff\x01", "with space"}), (Ids{1, 2, 3, 1}));
    vtest::WriteFile(dir / "ids", vtest::ReadFile(dir / "ids") + "garbage line\n@ short\n\n");
    EXPECT_EQ(map.Assign(key, {"100%", "\xff\x01", "new"}), (Ids{2, 3, 4}));
}

TEST(UidlMap, AnUnwritableFileGivesNoIds) {
    UidlMap map("/nonexistent-folder/ids");
    EXPECT_TRUE(map.Assign("k", {"a"}).empty());
}

}  // namespace
