// The POP3 id map on its own: ids that grow with the index and survive deletions and restarts.
#include "platform/mail/UidlMap.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {
using vellora::mail::Mailbox;
using vellora::mail::UidlMap;
using Ids = std::vector<std::uint32_t>;

Mailbox Box(const std::string& server, const std::string& user) {
    return {server, user, "pop3"};
}

TEST(UidlMap, GivesGrowingIdsThatStayAcrossSessionsAndDeletions) {
    vtest::TempDir dir;
    const Mailbox box = Box("mail.example.org", "anna");
    {
        UidlMap map(dir / "ids");
        EXPECT_EQ(map.Assign(box, {"a1", "b2", "c3"}), (Ids{1, 2, 3}));
    }
    UidlMap again(dir / "ids");  // a later session: same ids from the file
    EXPECT_EQ(again.Assign(box, {"a1", "b2", "c3", "d4"}), (Ids{1, 2, 3, 4}));
    // Another client deleted the first two; a new message arrived.
    EXPECT_EQ(again.Assign(box, {"c3", "d4", "e5"}), (Ids{3, 4, 5}));
    // Even when everything is deleted, ids are never given twice.
    EXPECT_EQ(again.Assign(box, {}), Ids{});
    EXPECT_EQ(again.Assign(box, {"a1"}), Ids{6});
}

TEST(UidlMap, KeepsAccountsApart) {
    vtest::TempDir dir;
    UidlMap map(dir / "ids");
    EXPECT_EQ(map.Assign(Box("h", "anna"), {"x", "y"}), (Ids{1, 2}));
    EXPECT_EQ(map.Assign(Box("h", "bob"), {"y", "z", "w"}), (Ids{1, 2, 3}));
    EXPECT_EQ(map.Assign(Box("other.host", "anna"), {"q"}), (Ids{1}));
    EXPECT_EQ(map.Assign(Box("h", "anna"), {"y", "n"}), (Ids{2, 3}));
    EXPECT_NE(UidlMap::AccountKey(Box("a b", "c")), UidlMap::AccountKey(Box("a", "b c")));
    EXPECT_NE(UidlMap::AccountKey(Box("a:b", "c")), UidlMap::AccountKey(Box("a", "b:c")));
    EXPECT_EQ(UidlMap::AccountKey(Box("Mail.Example.ORG", "u")),
              UidlMap::AccountKey(Box("mail.example.org", "u")));
    EXPECT_NE(UidlMap::AccountKey(Box("h", "User")), UidlMap::AccountKey(Box("h", "user")));
    EXPECT_NE(UidlMap::AccountKey(Box("h", "u")), UidlMap::AccountKey({"h", "u", "imap"}));
}

TEST(UidlMap, AMapFileKeyedByServerPortAndUserKeepsItsIdsOnAnyPort) {
    vtest::TempDir dir;
    // As an earlier version left it: the same mailbox seen on two ports, another user beside.
    vtest::WriteFile(dir / "ids",
                     "@ mail.example.org:110:anna 41\nu39 39\nu40 40\n"
                     "@ mail.example.org:995:anna 3\nu1 1\nu2 2\n"
                     "@ mail.example.org:110:bert 8\nb7 7\n");
    UidlMap map(dir / "ids");
    // The entry that gave out the most ids: none of them is ever given again.
    EXPECT_EQ(map.Assign(Box("Mail.Example.org", "anna"), {"u39", "u40", "u41"}),
              (Ids{39, 40, 41}));
    const std::string file = vtest::ReadFile(dir / "ids");
    EXPECT_EQ(file.find(":110:anna"), std::string::npos) << file;
    EXPECT_EQ(file.find(":995:anna"), std::string::npos) << file;
    EXPECT_EQ(UidlMap(dir / "ids").Assign(Box("mail.example.org", "anna"), {"u41", "u42"}),
              (Ids{41, 42}));
    EXPECT_EQ(map.Assign(Box("mail.example.org", "bert"), {"b7", "b8"}), (Ids{7, 8}));
}

TEST(UidlMap, OddUidlsAndABrokenFileLoseNothingElse) {
    vtest::TempDir dir;
    UidlMap map(dir / "ids");
    const Mailbox box = Box("h", "u");
    EXPECT_EQ(map.Assign(box, {"with space", "100%", "\xff\x01", "with space"}), (Ids{1, 2, 3, 1}));
    vtest::WriteFile(dir / "ids", vtest::ReadFile(dir / "ids") + "garbage line\n@ short\n\n");
    EXPECT_EQ(map.Assign(box, {"100%", "\xff\x01", "new"}), (Ids{2, 3, 4}));
}

TEST(UidlMap, AnUnwritableFileGivesNoIds) {
    UidlMap map("/nonexistent-folder/ids");
    EXPECT_TRUE(map.Assign(Box("h", "k"), {"a"}).empty());
}

}  // namespace
