// Matching a message against the rules: order, blank terms, joins, fields and conditions.
#include <gtest/gtest.h>

#include <chrono>

#include "main/core/MainTexts.h"
#include "main/core/RuleMatch.h"
#include "shared/AppFolder.h"
#include "tests/rules/RecordingSink.h"
#include "tests/rules/TestMessage.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
namespace mt = vellora::core::texts;

namespace {

struct Term {
    std::string field, condition, value;
};

RuleRecord MakeRule(int id, std::vector<Term> terms, std::vector<std::string> joins = {},
                    bool body = true, bool att = false, std::string printer = "") {
    RuleRecord r;
    r.id = static_cast<std::int16_t>(id);
    r.name = "rule " + std::to_string(id);
    for (std::size_t k = 0; k < terms.size(); ++k) {
        r.field[k] = terms[k].field;
        r.condition[k] = terms[k].condition;
        r.value[k] = terms[k].value;
    }
    for (std::size_t k = 0; k < joins.size(); ++k) r.join[k] = joins[k];
    r.printBody = body;
    r.printAtt = att;
    r.printer = printer.empty() ? mt::kRuleUseDefaultPrinter.str() : printer;
    r.loaded = true;
    return r;
}

class RuleMatchTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"rules"};
    RuleBook book;
    vtest::RecordingSink sink;
    PrinterCaptions captions{"AppPrinter", "SysPrinter"};
    RuleMatcher matcher{book, [this] { return captions; }, &sink};
    vtest::TestMessage msg;

    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        book.rules = {DefaultRule()};
        msg.subject = "Invoice 42 for March";
        msg.fromName = "Anna Berg";
        msg.fromAddress = "anna@example.org";
        msg.body = "Hello,\r\nplease find the invoice attached.\r\n";
    }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    MatchResult Match() { return matcher.MatchRules(msg, "mail.example.org - anna"); }
    // The id of the rule that decided, read back through its distinct printer.
    std::string Winner() {
        MatchResult m = Match();
        return m.matched ? m.printer : "none";
    }
    void AddRule(int id, std::vector<Term> terms, std::vector<std::string> joins = {}) {
        book.rules.push_back(MakeRule(id, std::move(terms), std::move(joins), true, false,
                                      "P" + std::to_string(id)));
    }
};

const Term kSubjectHit{"Subject", "Contains", "invoice"};
const Term kSubjectMiss{"Subject", "Contains", "receipt"};

TEST_F(RuleMatchTest, DefaultRuleAloneMatchesEverythingAndPrintsOnlyTheBody) {
    MatchResult m = Match();
    EXPECT_TRUE(m.matched);
    EXPECT_TRUE(m.printBody);
    EXPECT_FALSE(m.printAttachments);
    msg.subject.clear();
    msg.body.clear();
    EXPECT_TRUE(Match().matched);
}

TEST_F(RuleMatchTest, DefaultRuleWithATermLeavesOtherMessagesUnmatched) {
    book.rules[0].field[0] = "Subject";
    book.rules[0].condition[0] = "Contains";
    book.rules[0].value[0] = "invoice";
    EXPECT_TRUE(Match().matched);
    msg.subject = "Lunch on Friday";
    MatchResult m = Match();
    EXPECT_FALSE(m.matched);
    EXPECT_FALSE(m.printBody);
    EXPECT_FALSE(m.printAttachments);
}

TEST_F(RuleMatchTest, LaterRuleWinsAndDefaultComesLast) {
    AddRule(1, {kSubjectHit});
    AddRule(2, {{"FromAddress", "EndsWith", "@example.org"}});
    EXPECT_EQ(Winner(), "P2");
    book.rules[2].value[0] = "@other.org";
    EXPECT_EQ(Winner(), "P1");
    book.rules[1].value[0] = "receipt";
    // Only the default rule is left; it defers to the application printer.
    EXPECT_EQ(Winner(), "AppPrinter");
}

TEST_F(RuleMatchTest, UserRuleWithThreeBlankTermsHidesEveryRuleBeforeIt) {
    AddRule(1, {kSubjectHit});
    AddRule(2, {});
    AddRule(3, {kSubjectMiss});
    EXPECT_EQ(Winner(), "P2");
}

TEST_F(RuleMatchTest, BlankEarlierTermWithFilledLaterTermNeverMatches) {
    AddRule(1, {{"", "", ""}, kSubjectHit}, {"Or"});
    AddRule(2, {kSubjectHit, {"Subject", "Con", "x"}, kSubjectHit}, {"And", "And"});
    book.rules[0].value[0] = "never";  // the default rule no longer matches
    book.rules[0].field[0] = "Subject";
    book.rules[0].condition[0] = "Equals";
    EXPECT_EQ(Winner(), "none");
}

TEST_F(RuleMatchTest, JoinTruthTablesOverTwoAndThreeTerms) {
    book.rules[0].field[0] = "Subject";  // keep the default rule out of the way
    book.rules[0].condition[0] = "Equals";
    book.rules[0].value[0] = "never";
    const auto T = [](bool b) { return b ? kSubjectHit : kSubjectMiss; };
    for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b)
            for (const char* j : {"And", "Or"}) {
                book.rules.resize(1);
                AddRule(1, {T(a), T(b)}, {j});
                const bool want = std::string(j) == "And" ? (a && b) : (a || b);
                EXPECT_EQ(Match().matched, want) << a << j << b;
            }
    for (int mask = 0; mask < 8; ++mask)
        for (const char* j1 : {"And", "Or"})
            for (const char* j2 : {"And", "Or"}) {
                const bool a = mask & 1, b = mask & 2, c = mask & 4;
                book.rules.resize(1);
                AddRule(1, {T(a), T(b), T(c)}, {j1, j2});
                const bool first = std::string(j1) == "And" ? (a && b) : (a || b);
                const bool want = std::string(j2) == "And" ? (first && c) : (first || c);
                EXPECT_EQ(Match().matched, want) << a << j1 << b << j2 << c;
            }
    // And/Or with t1 false, t2 false, t3 true matches; an unknown join never does.
    book.rules.resize(1);
    AddRule(1, {kSubjectMiss, kSubjectMiss, kSubjectHit}, {"And", "Or"});
    EXPECT_TRUE(Match().matched);
    book.rules.resize(1);
    AddRule(1, {kSubjectHit, kSubjectHit}, {"and"});
    EXPECT_FALSE(Match().matched);
    book.rules.resize(1);
    AddRule(1, {kSubjectHit, kSubjectHit, kSubjectHit}, {"And", ""});
    EXPECT_FALSE(Match().matched);
}

TEST_F(RuleMatchTest, ComparisonsIgnoreCaseButRegexRespectsIt) {
    EXPECT_TRUE(matcher.TestCondition("Invoice 42", "Equals", "INVOICE 42"));
    EXPECT_FALSE(matcher.TestCondition("Invoice 42", "Regex", "INVOICE 42"));
    EXPECT_TRUE(matcher.TestCondition("Invoice 42", "Regex", "Invoice \\d+"));
    EXPECT_TRUE(matcher.TestCondition("Invoice 42", "StartsWith", "inV"));
    EXPECT_FALSE(matcher.TestCondition("Invoice 42", "StartsWith", "42"));
    EXPECT_TRUE(matcher.TestCondition("Invoice 42", "EndsWith", "E 42"));
    EXPECT_FALSE(matcher.TestCondition("42", "EndsWith", "x42"));
    EXPECT_TRUE(matcher.TestCondition("Grüße aus MÜNCHEN", "Contains", "münchen"));
    EXPECT_TRUE(matcher.TestCondition("ÄRGER", "Equals", "ärger"));
    EXPECT_FALSE(matcher.TestCondition("Invoice", "contains", "Invoice"));  // vocabulary is exact
    EXPECT_FALSE(matcher.TestCondition("Invoice", "Matches", "Invoice"));
    // The JavaScript dialect: $ only at the very end, \u escapes.
    EXPECT_FALSE(matcher.TestCondition("abc\n", "Regex", "abc$"));
    EXPECT_TRUE(matcher.TestCondition("caf\xC3\xA9", "Regex", "caf\\u00e9"));
    EXPECT_TRUE(sink.errors.empty());
}

TEST_F(RuleMatchTest, EqualsOnSubjectIgnoresCaseWhereRegexDoesNot) {
    book.rules[0].field[0] = "Subject";
    book.rules[0].condition[0] = "Equals";
    book.rules[0].value[0] = "INVOICE 42 FOR MARCH";
    EXPECT_TRUE(Match().matched);
    book.rules[0].condition[0] = "Regex";
    EXPECT_FALSE(Match().matched);
}

TEST_F(RuleMatchTest, HasAttachmentIgnoresConditionAndValue) {
    book.rules[0].field[0] = "HasAttachment";
    book.rules[0].condition[0] = "Equals";
    book.rules[0].value[0] = "no such thing";
    EXPECT_FALSE(Match().matched);
    msg.attachments.push_back({"a.pdf", "x"});
    EXPECT_TRUE(Match().matched);
    book.rules[0].condition[0] = "Regex";
    book.rules[0].value[0] = "(";  // not even consulted
    EXPECT_TRUE(Match().matched);
    EXPECT_TRUE(sink.errors.empty());
}

TEST_F(RuleMatchTest, ListFieldsTryEveryEntryAndAreFalseWhenEmpty) {
    book.rules[0].condition[0] = "Contains";
    book.rules[0].value[0] = "bob";
    for (const char* f : {"ToName", "ToAddress", "CcName", "CcAddress", "AttachmentName"}) {
        book.rules[0].field[0] = f;
        EXPECT_FALSE(Match().matched) << f;
    }
    msg.to = {{"Carl", "carl@x.org"}, {"Bob Stone", "stone@x.org"}};
    msg.cc = {{"Dora", "dora@x.org"}, {"Eve", "BOB@x.org"}};
    msg.attachments = {{"one.pdf", ""}, {"bob.png", ""}};
    for (const char* f : {"ToName", "CcAddress", "AttachmentName"}) {
        book.rules[0].field[0] = f;
        EXPECT_TRUE(Match().matched) << f;
    }
    for (const char* f : {"ToAddress", "CcName", "NoSuchField"}) {
        book.rules[0].field[0] = f;
        EXPECT_FALSE(Match().matched) << f;
    }
}

TEST_F(RuleMatchTest, ScalarFieldsReadTheirOwnText) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Account", "mail.example.org - anna"},
        {"Body", "find the invoice"},
        {"FromName", "Anna Berg"},
        {"FromAddress", "anna@example.org"},
        {"Subject", "42 for"}};
    book.rules[0].condition[0] = "Contains";
    for (const auto& [field, value] : cases) {
        book.rules[0].field[0] = field;
        book.rules[0].value[0] = value;
        EXPECT_TRUE(Match().matched) << field;
        book.rules[0].value[0] = value + "!";
        EXPECT_FALSE(Match().matched) << field;
    }
}

TEST_F(RuleMatchTest, FailingPatternCountsAsFalseWritesALineAndTheCheckGoesOn) {
    AddRule(1, {kSubjectHit});
    AddRule(2, {{"Subject", "Regex", "(unclosed"}});
    EXPECT_EQ(Winner(), "P1");  // rule 2 is false, rule 1 still decides
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_NE(sink.errors[0].find("(unclosed"), std::string::npos);
    EXPECT_NE(vtest::ReadFile(dir / "vellora.log").find("(unclosed"), std::string::npos);
}

TEST_F(RuleMatchTest, RunawayPatternOnAHugeBodyEndsQuicklyAsFalse) {
    msg.body = std::string(100000, 'a') + "!";
    book.rules[0].field[0] = "Body";
    book.rules[0].condition[0] = "Regex";
    book.rules[0].value[0] = "(a+)+$";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Match().matched);
    // Generous bound: without the engine's limits this search would take years.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(sink.errors.size(), 1u);
}

TEST_F(RuleMatchTest, PrinterResolutionFollowsRuleThenApplicationThenSystem) {
    EXPECT_EQ(ResolvePrinter("Laser", captions), "Laser");
    EXPECT_EQ(ResolvePrinter(mt::kRuleUseDefaultPrinter, captions), "AppPrinter");
    captions.applicationPrinter = mt::kSystemDefaultEntry;
    EXPECT_EQ(ResolvePrinter(mt::kRuleUseDefaultPrinter, captions), "SysPrinter");
    EXPECT_EQ(Match().printer, "SysPrinter");
}

TEST_F(RuleMatchTest, SlotsLeftEmptyByADamagedFileNeverMatch) {
    AddRule(1, {kSubjectHit});
    book.rules.push_back(RuleRecord{});  // a slot that loading never reached
    EXPECT_EQ(Winner(), "P1");
}

}  // namespace
