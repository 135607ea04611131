// The GMime message: a corpus of real-world message forms with their expected values, and
// malformed messages that must parse without crashing and give what can be recovered.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "platform/mail/GMimeMailMessage.h"
#include "platform/mail/MailFactory.h"
#include "tests/mail/MimeCorpus.h"
#include "tests/support/TestSupport.h"

namespace {
using vellora::mail::GMimeMailMessage;
using vtest::mime::Raw;

class Corpus : public testing::TestWithParam<vtest::mime::Case> {};

TEST_P(Corpus, ParsesToTheExpectedValues) {
    const auto& c = GetParam();
    const auto& e = c.expected;
    GMimeMailMessage m;
    m.Parse(c.raw);
    EXPECT_EQ(m.Subject(), e.subject);
    EXPECT_EQ(m.FromName(), e.fromName);
    EXPECT_EQ(m.FromAddress(), e.fromAddress);
    for (const auto& piece : e.bodyHas)
        EXPECT_NE(m.Body().find(piece), std::string::npos) << m.Body();
    EXPECT_EQ(m.Charset(), e.charset);
    EXPECT_EQ(m.HtmlBody(), e.html);
    ASSERT_EQ(m.AttachmentCount(), static_cast<int>(e.attachments.size()));
    vtest::TempDir dir;
    for (std::size_t i = 0; i < e.attachments.size(); ++i) {
        const auto index = static_cast<std::int16_t>(i + 1);
        EXPECT_EQ(m.AttachmentName(index), e.attachments[i]);
        const std::string path = dir / ("a" + std::to_string(i));
        EXPECT_EQ(m.SaveAttachment(path, index), 0);
        if (i < e.attachmentData.size() && !e.attachmentData[i].empty()) {
            EXPECT_EQ(vtest::ReadFile(path), e.attachmentData[i]) << e.attachments[i];
        }
    }
    ASSERT_EQ(m.ToCount(), static_cast<int>(e.to.size()));
    for (std::size_t i = 0; i < e.to.size(); ++i) {
        EXPECT_EQ(m.ToName(static_cast<std::int16_t>(i + 1)), e.to[i].first);
        EXPECT_EQ(m.ToAddress(static_cast<std::int16_t>(i + 1)), e.to[i].second);
    }
    ASSERT_EQ(m.CcCount(), static_cast<int>(e.cc.size()));
    for (std::size_t i = 0; i < e.cc.size(); ++i) {
        EXPECT_EQ(m.CcName(static_cast<std::int16_t>(i + 1)), e.cc[i].first);
        EXPECT_EQ(m.CcAddress(static_cast<std::int16_t>(i + 1)), e.cc[i].second);
    }
    const auto parts = m.InlineParts();
    ASSERT_EQ(parts.size(), e.inlineIds.size());
    for (std::size_t i = 0; i < parts.size(); ++i) EXPECT_EQ(parts[i].contentId, e.inlineIds[i]);
}

INSTANTIATE_TEST_SUITE_P(Messages, Corpus, testing::ValuesIn(vtest::mime::Corpus()),
                         [](const auto& info) { return info.param.name; });

TEST(MailMessage, CorpusIsLargeEnough) {
    EXPECT_GE(vtest::mime::Corpus().size(), 20u);
}

TEST(MailMessage, InlinePartsCanBeSavedForTheBodyPage) {
    GMimeMailMessage m;
    for (const auto& c : vtest::mime::Corpus()) {
        if (c.name == "related_inline_images") m.Parse(c.raw);
    }
    const auto parts = m.InlineParts();
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].fileName, "logo.png");
    EXPECT_EQ(parts[1].fileName, "inline2.png");  // no name of its own: one from its type
    EXPECT_EQ(parts[0].contentType, "image/png");
    vtest::TempDir dir;
    EXPECT_EQ(m.SaveInlinePart(dir / "logo.png", 0), 0);
    EXPECT_EQ(vtest::ReadFile(dir / "logo.png").substr(1, 3), "PNG");
    EXPECT_NE(m.SaveInlinePart(dir / "x", 2), 0);
}

TEST(MailMessage, ForwardedMessageIsSavedWhole) {
    GMimeMailMessage m;
    for (const auto& c : vtest::mime::Corpus()) {
        if (c.name == "forwarded_unnamed") m.Parse(c.raw);
    }
    vtest::TempDir dir;
    ASSERT_EQ(m.SaveAttachment(dir / "f.eml", 1), 0);
    const std::string saved = vtest::ReadFile(dir / "f.eml");
    EXPECT_NE(saved.find("Subject: Original"), std::string::npos);
    EXPECT_NE(saved.find("The original text."), std::string::npos);
    GMimeMailMessage inner;
    inner.Parse(saved);
    EXPECT_EQ(inner.FromAddress(), "old@example.org");
}

TEST(MailMessage, OutOfRangeIndexesGiveNothing) {
    GMimeMailMessage m;
    m.Parse(vtest::mime::Corpus().front().raw);
    vtest::TempDir dir;
    EXPECT_EQ(m.AttachmentName(1), "");
    EXPECT_NE(m.SaveAttachment(dir / "x", 0), 0);
    EXPECT_NE(m.SaveAttachment(dir / "x", 1), 0);
    EXPECT_EQ(m.ToName(0), "");
    EXPECT_EQ(m.ToAddress(9), "");
    EXPECT_EQ(m.CcAddress(2), "");
    EXPECT_FALSE(vtest::Exists(dir / "x"));
}

TEST(MailMessage, ParseReplacesThePreviousMessage) {
    auto m = vellora::mail::CreateMailMessage();
    const auto corpus = vtest::mime::Corpus();
    m->Parse(corpus[4].raw);  // mixed, with attachments
    ASSERT_GT(m->AttachmentCount(), 0);
    m->Parse(corpus[0].raw);
    EXPECT_EQ(m->AttachmentCount(), 0);
    EXPECT_EQ(m->Subject(), "Hello there");
    m->Parse("");
    EXPECT_EQ(m->Subject(), "");
    EXPECT_EQ(m->Body(), "");
    EXPECT_EQ(m->ToCount(), 0);
}

bool IsUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80         ? 0
                      : (c >> 5) == 6  ? 1
                      : (c >> 4) == 14 ? 2
                      : (c >> 3) == 30 ? 3
                                       : -1;
        if (n < 0 || i + n >= s.size() + (n == 0 ? 1 : 0)) return n == 0;
        for (int k = 1; k <= n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        }
        i += n + 1;
    }
    return true;
}

TEST(MalformedMessage, MissingClosingBoundaryKeepsWhatCame) {
    GMimeMailMessage m;
    m.Parse(Raw(R"(From: a@example.org
Subject: Cut
Content-Type: multipart/mixed; boundary="b"

--b
Content-Type: text/plain

The body
--b
Content-Type: application/pdf; name="half.pdf"
Content-Transfer-Encoding: base64

JVBERi0x
)"));
    EXPECT_EQ(m.Subject(), "Cut");
    EXPECT_NE(m.Body().find("The body"), std::string::npos);
    ASSERT_EQ(m.AttachmentCount(), 1);
    EXPECT_EQ(m.AttachmentName(1), "half.pdf");
}

TEST(MalformedMessage, BrokenBase64DecodesWhatItCan) {
    GMimeMailMessage m;
    m.Parse(Raw(R"(From: a@example.org
Subject: Broken
Content-Type: multipart/mixed; boundary="b"

--b
Content-Type: text/plain; charset=utf-8
Content-Transfer-Encoding: base64

SGVsbG8g!!!d29y*bGQ
--b
Content-Type: application/octet-stream; name="x.bin"
Content-Transfer-Encoding: base64

%%%%====
--b--
)"));
    EXPECT_NE(m.Body().find("Hello "), std::string::npos);
    EXPECT_TRUE(IsUtf8(m.Body()));
    ASSERT_EQ(m.AttachmentCount(), 1);
    vtest::TempDir dir;
    EXPECT_EQ(m.SaveAttachment(dir / "x.bin", 1), 0);
}

TEST(MalformedMessage, EightBitHeadersBecomeUtf8) {
    GMimeMailMessage m;
    m.Parse(Raw(R"(From: J\xc3\xb6rg <joerg@example.org>
To: Ren\xe9 <rene@example.org>
Subject: Caf\xe9 \xff\xfe
Content-Type: text/plain; charset=utf-8

Body \xff here
)"));
    EXPECT_EQ(m.FromName(), "Jörg");
    EXPECT_EQ(m.ToName(1), "René");
    EXPECT_EQ(m.Subject().rfind("Café", 0), 0u) << m.Subject();
    EXPECT_TRUE(IsUtf8(m.Subject()));
    EXPECT_TRUE(IsUtf8(m.Body()));
    EXPECT_NE(m.Body().find("Body "), std::string::npos);
}

TEST(MalformedMessage, NoFromNoBodyNothingAtAll) {
    GMimeMailMessage m;
    m.Parse(Raw("Subject: Lonely\nTo: x@example.org\n\n"));
    EXPECT_EQ(m.Subject(), "Lonely");
    EXPECT_EQ(m.FromName(), "");
    EXPECT_EQ(m.FromAddress(), "");
    EXPECT_EQ(m.Body(), "");
    EXPECT_EQ(m.AttachmentCount(), 0);
    m.Parse(Raw("Subject: Headers only\n"));
    EXPECT_EQ(m.Subject(), "Headers only");
    EXPECT_EQ(m.Body(), "");
    for (const std::string& raw : {std::string(), std::string("\r\n\r\n"), std::string(1, '\0'),
                                   std::string("--\r\n--\r\n")}) {
        m.Parse(raw);
        EXPECT_EQ(m.AttachmentCount(), 0);
    }
}

TEST(MalformedMessage, DeepNestingNeitherCrashesNorRecursesWithoutEnd) {
    for (int depth : {20, 5000}) {
        std::string raw = "From: a@example.org\r\nSubject: Deep\r\n";
        for (int i = 0; i < depth; ++i) {
            raw += "Content-Type: multipart/mixed; boundary=\"b" + std::to_string(i) +
                   "\"\r\n\r\n--b" + std::to_string(i) + "\r\n";
        }
        raw += "Content-Type: text/plain\r\n\r\nDeep inside\r\n";
        for (int i = depth - 1; i >= 0; --i) raw += "--b" + std::to_string(i) + "--\r\n";
        GMimeMailMessage m;
        m.Parse(raw);
        EXPECT_EQ(m.Subject(), "Deep");
        if (depth == 20) {
            EXPECT_NE(m.Body().find("Deep inside"), std::string::npos);
        }
    }
}

TEST(MalformedMessage, LargeAttachmentIsKeptWhole) {
    constexpr std::size_t kSize = 25u << 20;
    std::string data(kSize, '\0');
    std::mt19937 random(7);
    for (auto& c : data) c = static_cast<char>(random());
    static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string b64;
    b64.reserve(kSize / 3 * 4 + kSize / 54 * 2 + 8);
    for (std::size_t i = 0; i < kSize; i += 3) {
        const unsigned n = static_cast<unsigned char>(data[i]) << 16 |
                           (i + 1 < kSize ? static_cast<unsigned char>(data[i + 1]) << 8 : 0) |
                           (i + 2 < kSize ? static_cast<unsigned char>(data[i + 2]) : 0);
        b64 += abc[n >> 18 & 63];
        b64 += abc[n >> 12 & 63];
        b64 += i + 1 < kSize ? abc[n >> 6 & 63] : '=';
        b64 += i + 2 < kSize ? abc[n & 63] : '=';
        if ((i / 3) % 19 == 18) b64 += "\r\n";
    }
    const std::string raw = Raw(R"(From: a@example.org
Subject: Big
Content-Type: multipart/mixed; boundary="b"

--b
Content-Type: text/plain

See attachment
--b
Content-Type: application/zip; name="big.zip"
Content-Transfer-Encoding: base64

)") + b64 + "\r\n--b--\r\n";
    GMimeMailMessage m;
    m.Parse(raw);
    ASSERT_EQ(m.AttachmentCount(), 1);
    vtest::TempDir dir;
    ASSERT_EQ(m.SaveAttachment(dir / "big.zip", 1), 0);
    EXPECT_TRUE(vtest::ReadFile(dir / "big.zip") == data);
}

TEST(MalformedMessage, RandomBytesNeverCrash) {
    std::mt19937 random(42);
    GMimeMailMessage m;
    const auto corpus = vtest::mime::Corpus();
    for (int round = 0; round < 300; ++round) {
        std::string raw = corpus[round % corpus.size()].raw;
        for (int k = 0; k < 20; ++k) raw[random() % raw.size()] = static_cast<char>(random());
        raw.resize(random() % (raw.size() + 1));
        m.Parse(raw);
        EXPECT_TRUE(IsUtf8(m.Subject()));
        EXPECT_TRUE(IsUtf8(m.Body()));
        for (int i = 1; i <= m.AttachmentCount(); ++i) {
            const std::string name = m.AttachmentName(static_cast<std::int16_t>(i));
            EXPECT_FALSE(name.empty());
            EXPECT_EQ(name.find('/'), std::string::npos);
            EXPECT_NE(name[0], '.');
        }
    }
}

// Header fields by name, as the sender check reads them: every field of that name at the top
// level, in order, unfolded; a part's own header is not the message's.
TEST(MailMessage, HeaderValuesGivesEveryTopLevelFieldInOrder) {
    GMimeMailMessage m;
    m.Parse(
        "Authentication-Results: mx.example.net;\r\n"
        "\tdkim=pass header.d=customer.example\r\n"
        "Received: from a by b\r\n"
        "authentication-results: forged.example; dmarc=pass\r\n"
        "From: a@customer.example\r\nSubject: s\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=b\r\n\r\n"
        "--b\r\nContent-Type: text/plain\r\n"
        "Authentication-Results: inner.example; dmarc=pass\r\n\r\nbody\r\n--b--\r\n");
    const auto values = m.HeaderValues("Authentication-Results");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_NE(values[0].find("mx.example.net;"), std::string::npos) << values[0];
    EXPECT_NE(values[0].find("dkim=pass header.d=customer.example"), std::string::npos);
    EXPECT_EQ(values[0].find('\n'), std::string::npos) << "unfolded";
    EXPECT_NE(values[1].find("forged.example"), std::string::npos);
    EXPECT_TRUE(m.HeaderValues("X-Missing").empty());
    m.Parse("not a message at all");
    EXPECT_TRUE(m.HeaderValues("Authentication-Results").empty());
}

}  // namespace
