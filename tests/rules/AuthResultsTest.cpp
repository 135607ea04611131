// The sender check: Authentication-Results fields (RFC 8601) as real servers write them, the
// ones a sender forges, and the rule field that reads them.
#include <gtest/gtest.h>

#include <algorithm>

#include "main/core/AuthResults.h"
#include "main/core/RuleMatch.h"
#include "main/core/Rules.h"
#include "tests/rules/TestMessage.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;

namespace {

TEST(AuthResults, ParsesTheFieldWithCommentsQuotesAndVersions) {
    const auto f = ParseAuthResults(
        " mx.example.net 1; (the first) dkim/1=pass (1024-bit key; unprotected)\r\n"
        "\theader.d=Customer.Example header.i=@customer.example header.b=\"ab;cd\";\r\n"
        " spf=fail smtp.mailfrom=x@y.example; dmarc=pass reason=\"aligned\" (p=reject)"
        " header.from=customer.example");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->authservId, "mx.example.net");
    ASSERT_EQ(f->results.size(), 3u);
    EXPECT_EQ(f->results[0].method, "dkim");
    EXPECT_EQ(f->results[0].result, "pass");
    EXPECT_EQ(f->results[0].props.at("header.d"), "Customer.Example");
    EXPECT_EQ(f->results[0].props.at("header.b"), "ab;cd") << "a quoted ';' ends nothing";
    EXPECT_EQ(f->results[1].result, "fail");
    EXPECT_EQ(f->results[2].props.count("reason"), 0u);
    EXPECT_EQ(f->results[2].props.at("header.from"), "customer.example");

    const auto quoted = ParseAuthResults("\"mx (1)\"; none");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->authservId, "mx (1)");
    EXPECT_TRUE(quoted->results.empty());
    EXPECT_FALSE(ParseAuthResults("mx.example.net; dkim=pass (no end"));
    EXPECT_FALSE(ParseAuthResults("\"mx.example.net; dkim=pass"));
    EXPECT_FALSE(ParseAuthResults(""));
}

TEST(AuthResults, OnlyTheTrustedServerVouchesAndOnlyForTheSendersDomain) {
    const std::string trusted = "mx.example.net";
    const std::string from = "Anna@Customer.Example";
    const struct {
        std::string name;
        std::vector<std::string> fields;
        bool authenticated;
    } cases[] = {
        {"dmarc pass", {"mx.example.net; dmarc=pass header.from=customer.example"}, true},
        {"dmarc pass without header.from", {"mx.example.net; dmarc=pass"}, true},
        {"authserv-id in other letter case", {"MX.Example.NET; dmarc=pass"}, true},
        {"dkim pass by d", {"mx.example.net; dkim=pass header.d=customer.example"}, true},
        {"dkim pass by i", {"mx.example.net; dkim=pass header.i=billing@customer.example"}, true},
        {"dkim pass of another domain",
         {"mx.example.net; dkim=pass header.d=mailer.example"},
         false},
        {"dkim pass of a parent domain", {"mx.example.net; dkim=pass header.d=example"}, false},
        {"dmarc pass for another From",
         {"mx.example.net; dmarc=pass header.from=evil.example"},
         false},
        {"dmarc fail", {"mx.example.net; dmarc=fail header.from=customer.example"}, false},
        {"spf pass only", {"mx.example.net; spf=pass smtp.mailfrom=customer.example"}, false},
        {"none", {"mx.example.net; none"}, false},
        {"forged by the sender under its own server name",
         {"mail.customer.example; dmarc=pass; dkim=pass header.d=customer.example"},
         false},
        {"a name that only begins like ours", {"mx.example.net.evil; dmarc=pass"}, false},
        {"forged below the real one",
         {"mx.example.net; dmarc=fail header.from=customer.example",
          "other.example; dmarc=pass header.from=customer.example"},
         false},
        {"one of several fields passes",
         {"mx.example.net; spf=pass", "mx.example.net; dkim=pass header.d=customer.example"},
         true},
        {"malformed pass is no pass",
         {"mx.example.net; dkim pass header.d=customer.example"},
         false},
        {"no field", {}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SenderAuthenticated(c.fields, trusted, from), c.authenticated) << c.name;
    }
    const std::vector<std::string> pass = {"mx.example.net; dmarc=pass"};
    EXPECT_FALSE(SenderAuthenticated(pass, "", from)) << "no trusted server, no trust";
    EXPECT_FALSE(SenderAuthenticated(pass, trusted, "no-domain")) << "a sender without domain";
    EXPECT_TRUE(SenderAuthenticated(pass, "  mx.example.net ", from));
}

class SenderRule : public ::testing::Test {
  protected:
    RuleBook book;
    std::string trusted = "mx.example.net";
    vtest::TestMessage msg;

    void SetUp() override {
        book.rules = {DefaultRule()};
        // Print only what the customer really sent: From ends with their domain AND the
        // receiving server authenticated it.
        RuleRecord& r = book.rules[0];
        r.field = {"FromAddress", "SenderAuthenticated", ""};
        r.condition = {"EndsWith", "Equals", ""};
        r.value = {"@customer.example", "yes", ""};
        r.join = {"And", ""};
        msg.fromAddress = "anna@customer.example";
    }
    bool Matches() {
        RuleMatcher matcher(book, {}, nullptr, [this] { return trusted; });
        return matcher.MatchRules(msg, "acct").matched;
    }
};

TEST_F(SenderRule, MatchesOnlyMailTheTrustedServerAuthenticated) {
    EXPECT_FALSE(Matches()) << "a From line alone is not enough";
    msg.headers = {
        {"Authentication-Results", "mx.example.net; dkim=pass header.d=customer.example"}};
    EXPECT_TRUE(Matches());
    trusted = "other.example.net";
    EXPECT_FALSE(Matches()) << "another server's word counts for nothing";
    trusted = "";
    EXPECT_FALSE(Matches());
    trusted = "mx.example.net";
    msg.headers = {{"Authentication-Results", "customer.example; dmarc=pass"}};
    EXPECT_FALSE(Matches()) << "the sender's own field";
    msg.fromAddress = "anna@elsewhere.example";
    msg.headers = {{"Authentication-Results", "mx.example.net; dmarc=pass"}};
    EXPECT_FALSE(Matches()) << "authenticated, but not a customer";
}

TEST_F(SenderRule, IsOfferedAndStoredLikeEveryField) {
    const auto fields = RuleFields();
    EXPECT_NE(std::find(fields.begin(), fields.end(), "SenderAuthenticated"), fields.end());
    RuleTerms terms;
    terms.field = book.rules[0].field;
    terms.condition = book.rules[0].condition;
    terms.value = book.rules[0].value;
    terms.join = book.rules[0].join;
    EXPECT_EQ(CheckRuleTerms(terms).problem, RuleProblem::None);
    vtest::TempDir dir("sender-rule");
    ASSERT_TRUE(SaveRules(book, dir / "vellora.ini", nullptr));
    EXPECT_EQ(LoadRules(dir / "vellora.ini").rules[0].field[1], "SenderAuthenticated");
    // Like HasAttachment, it does not look at its condition or value.
    book.rules[0].condition[1] = "Contains";
    book.rules[0].value[1] = "whatever";
    msg.headers = {{"Authentication-Results", "mx.example.net; dmarc=pass"}};
    EXPECT_TRUE(Matches());
}

}  // namespace
