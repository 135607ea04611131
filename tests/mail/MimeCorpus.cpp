#include "tests/mail/MimeCorpus.h"

#include <cstdlib>

namespace vtest::mime {

std::string Raw(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            out += "\r\n";
        } else if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size() + 1) {
            out += static_cast<char>(std::strtol(text.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {

const std::string kHead = R"(From: Anna Smith <anna@example.org>
To: Bob <bob@example.org>
Date: Mon, 7 Dec 2026 10:00:00 +0000
MIME-Version: 1.0
)";

// A 1x1 PNG, base64.
const std::string kPng =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+"
    "M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==";

Case Plain() {
    Case c{"plain_ascii",
           Raw(R"(From: Anna Smith <anna@example.org>
To: Bob <bob@example.org>, carol@example.org
Cc: "Dan, the boss" <dan@example.org>
Subject: Hello there
Content-Type: text/plain; charset=us-ascii

Plain body line one.
Line two.
)"),
           {}};
    c.expected = {"Hello there",
                  "Anna Smith",
                  "anna@example.org",
                  {"Plain body line one.\r\nLine two."},
                  "us-ascii",
                  0,
                  {},
                  {},
                  {{"Bob", "bob@example.org"}, {"", "carol@example.org"}},
                  {{"Dan, the boss", "dan@example.org"}},
                  {}};
    return c;
}

Case Text(const std::string& name, const std::string& type, const std::string& cte,
          const std::string& body, const std::string& charset, std::vector<std::string> has,
          int html = 0, const std::string& subject = "Text") {
    Case c{name,
           Raw(kHead + "Subject: " + subject + "\nContent-Type: " + type +
               (charset.empty() ? "" : "; charset=" + charset) +
               (cte.empty() ? "" : "\nContent-Transfer-Encoding: " + cte) + "\n\n" + body + "\n"),
           {}};
    c.expected.subject = subject;
    c.expected.fromName = "Anna Smith";
    c.expected.fromAddress = "anna@example.org";
    c.expected.bodyHas = std::move(has);
    c.expected.charset = charset;
    c.expected.html = html;
    c.expected.to = {{"Bob", "bob@example.org"}};
    return c;
}

Case Headers2047() {
    Case c{"rfc2047_headers",
           Raw(R"(From: =?ISO-8859-1?Q?Andr=E9_M=FCller?= <andre@example.org>
To: =?UTF-8?B?0JjQstCw0L0=?= <ivan@example.org>
Subject: =?UTF-8?B?0J/RgNC40LLQtdGC?= =?utf-8?q?_caf=C3=A9?=
 =?iso-8859-1?q?_cr=E8me?=
Content-Type: text/plain; charset=utf-8

Body
)"),
           {}};
    c.expected = {"Привет café crème",
                  "André Müller",
                  "andre@example.org",
                  {"Body"},
                  "utf-8",
                  0,
                  {},
                  {},
                  {{"Иван", "ivan@example.org"}},
                  {},
                  {}};
    return c;
}

Case Alternative() {
    Case c{"alternative",
           Raw(kHead + R"(Subject: Alternative
Content-Type: multipart/alternative; boundary="alt"

--alt
Content-Type: text/plain; charset=utf-8

Plain version
--alt
Content-Type: text/html; charset=utf-8
Content-Transfer-Encoding: quoted-printable

<html><body><p>HTML version =E2=9C=93</p></body></html>
--alt--
)"),
           {}};
    c.expected = {"Alternative",
                  "Anna Smith",
                  "anna@example.org",
                  {"<p>HTML version ✓</p>"},
                  "utf-8",
                  1,
                  {},
                  {},
                  {{"Bob", "bob@example.org"}},
                  {},
                  {}};
    return c;
}

Case Related() {
    Case c{"related_inline_images",
           Raw(kHead + R"(Subject: Pictures inside
Content-Type: multipart/alternative; boundary="a1"

--a1
Content-Type: text/plain

See the pictures.
--a1
Content-Type: multipart/related; boundary="r1"; type="text/html"

--r1
Content-Type: text/html; charset=us-ascii

<html><body><img src="cid:logo@x"><img src="CID:chart@x"></body></html>
--r1
Content-Type: image/png; name="logo.png"
Content-Transfer-Encoding: base64
Content-ID: <logo@x>
Content-Disposition: inline; filename="logo.png"

)" + kPng + R"(
--r1
Content-Type: image/png
Content-Transfer-Encoding: base64
Content-ID: <chart@x>

)" + kPng + R"(
--r1
Content-Type: image/png; name="unused.png"
Content-Transfer-Encoding: base64
Content-ID: <unused@x>

)" + kPng + R"(
--r1--
--a1--
)"),
           {}};
    c.expected = {"Pictures inside",
                  "Anna Smith",
                  "anna@example.org",
                  {"<img src=\"cid:logo@x\">"},
                  "us-ascii",
                  1,
                  {"unused.png"},
                  {},
                  {{"Bob", "bob@example.org"}},
                  {},
                  {"logo@x", "chart@x"}};
    return c;
}

Case Mixed() {
    Case c{"mixed_attachments",
           Raw(kHead + R"(Subject: Three files
Content-Type: multipart/mixed; boundary="mix"

--mix
Content-Type: text/plain; charset=utf-8

Files attached.
--mix
Content-Type: application/pdf; name="report.pdf"
Content-Disposition: attachment; filename="report.pdf"
Content-Transfer-Encoding: base64

JVBERi0xLjQKJcOkw7zDtsOfCg==
--mix
Content-Type: image/jpeg
Content-Disposition: attachment; filename=photo.jpg
Content-Transfer-Encoding: base64

/9j/4AAQSkZJRg==
--mix
Content-Type: application/vnd.openxmlformats-officedocument.wordprocessingml.document; name="letter.docx"
Content-Transfer-Encoding: base64

UEsDBBQ=
--mix
Content-Type: text/plain; name="notes.txt"
Content-Disposition: attachment

Some notes
--mix--
)"),
           {}};
    c.expected = {"Three files",
                  "Anna Smith",
                  "anna@example.org",
                  {"Files attached."},
                  "utf-8",
                  0,
                  {"report.pdf", "photo.jpg", "letter.docx", "notes.txt"},
                  {"%PDF-1.4\n%\xC3\xA4\xC3\xBC\xC3\xB6\xC3\x9F\n", "\xFF\xD8\xFF\xE0\x00\x10JFIF",
                   "", "Some notes"},
                  {{"Bob", "bob@example.org"}},
                  {},
                  {}};
    c.expected.attachmentData[1] = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10);
    return c;
}

Case Forwarded(bool named) {
    Case c{named ? "forwarded_named" : "forwarded_unnamed",
           Raw(kHead + "Subject: Fwd: Original\nContent-Type: multipart/mixed; boundary=\"f\"\n\n" +
               "--f\nContent-Type: text/plain\n\nSee below.\n--f\nContent-Type: message/rfc822" +
               (named ? "\nContent-Disposition: attachment; filename=\"fwd.eml\"" : "") +
               R"(

From: Old Sender <old@example.org>
Subject: Original
Content-Type: text/plain

The original text.
--f--
)"),
           {}};
    c.expected = {"Fwd: Original",
                  "Anna Smith",
                  "anna@example.org",
                  {"See below."},
                  "",
                  0,
                  {named ? "fwd.eml" : "Original.eml"},
                  {},
                  {{"Bob", "bob@example.org"}},
                  {},
                  {}};
    return c;
}

Case Attachment(const std::string& name, const std::string& headers, const std::string& expected) {
    Case c{name,
           Raw(kHead + "Subject: " + name + R"(
Content-Type: multipart/mixed; boundary="b"

--b
Content-Type: text/plain

Body
--b
)" + headers + R"(
Content-Transfer-Encoding: base64

aGVsbG8=
--b--
)"),
           {}};
    c.expected = {name,       "Anna Smith", "anna@example.org",           {"Body"}, "", 0,
                  {expected}, {"hello"},    {{"Bob", "bob@example.org"}}, {},       {}};
    return c;
}

Case Groups() {
    Case c{"address_groups",
           Raw(R"(From: "Smith, Anna" <anna@example.org>
To: Friends: a@example.org, "B. Person" <b@example.org>;, last@example.org
Subject: Groups

Body
)"),
           {}};
    c.expected = {"Groups",
                  "Smith, Anna",
                  "anna@example.org",
                  {"Body"},
                  "",
                  0,
                  {},
                  {},
                  {{"", "a@example.org"}, {"B. Person", "b@example.org"}, {"", "last@example.org"}},
                  {},
                  {}};
    return c;
}

}  // namespace

std::vector<Case> Corpus() {
    std::vector<Case> all = {Plain(), Headers2047(),    Alternative(),   Related(),
                             Mixed(), Forwarded(false), Forwarded(true), Groups()};
    all.push_back(Text("utf8_qp", "text/plain", "quoted-printable", "Gr=C3=BC=C3=9Fe aus K=C3=B6ln",
                       "utf-8", {"Grüße aus Köln"}));
    all.push_back(Text("utf8_base64", "text/plain", "base64", "w4RwZmVsIHVuZCBCaXJuZW4=", "UTF-8",
                       {"Äpfel und Birnen"}));
    all.push_back(Text("iso_8859_1", "text/plain", "8bit", "Caf\\xe9 au lait, \\xe0 bient\\xf4t",
                       "iso-8859-1", {"Café au lait, à bientôt"}));
    all.push_back(Text("windows_1252", "text/plain", "8bit", "\\x93Quoted\\x94 \\x80 5 \\x96 ok",
                       "windows-1252", {"“Quoted” € 5 – ok"}));
    all.push_back(Text("koi8_r", "text/plain", "8bit",
                       "\\xf0\\xd2\\xc9\\xd7\\xc5\\xd4, \\xcd\\xc9\\xd2", "koi8-r",
                       {"Привет, мир"}));
    all.push_back(Text("html_only_1252", "text/html", "quoted-printable",
                       "<html><body>Pr=E9sentation =80</body></html>", "windows-1252",
                       {"<body>Présentation €</body>"}, 1));
    all.push_back(Text("undeclared_utf8", "text/plain", "8bit", "na\\xc3\\xafve", "", {"naïve"}));
    all.push_back(Text("undeclared_8bit", "text/plain", "8bit", "na\\xefve", "", {"naïve"}));
    all.push_back(
        Attachment("rfc2231_encoded_continuation",
                   "Content-Type: application/pdf\nContent-Disposition: attachment;\n"
                   " filename*0*=UTF-8''%E2%82%AC%20rates;\n filename*1*=%20for%202026.pdf",
                   "€ rates for 2026.pdf"));
    all.push_back(Attachment("rfc2231_plain_continuation",
                             "Content-Type: text/plain\nContent-Disposition: attachment;\n"
                             " filename*0=\"very long name \";\n filename*1=\"continued.txt\"",
                             "very long name continued.txt"));
    all.push_back(
        Attachment("rfc2231_iso_charset",
                   "Content-Type: application/octet-stream;\n name*=iso-8859-1'de'Gr%FC%DFe.doc",
                   "Grüße.doc"));
    all.push_back(Attachment("rfc2047_name",
                             "Content-Type: application/pdf; name=\"=?UTF-8?B?w6TDtsO8LnBkZg==?=\"",
                             "äöü.pdf"));
    all.push_back(Attachment("unnamed_pdf", "Content-Type: application/pdf", "attachment1.pdf"));
    all.push_back(Attachment("path_in_name",
                             "Content-Type: application/octet-stream\n"
                             "Content-Disposition: attachment; filename=\"../../etc/passwd\"",
                             "passwd"));
    all.push_back(
        Attachment("windows_path_in_name",
                   "Content-Type: application/octet-stream\n"
                   "Content-Disposition: attachment; filename=\"C:\\\\Temp\\\\..\\\\evil.exe\"",
                   "evil.exe"));
    all.push_back(Attachment(
        "hidden_name",
        "Content-Type: text/plain\nContent-Disposition: attachment; filename=\"..hidden.txt\"",
        "hidden.txt"));
    return all;
}

}  // namespace vtest::mime
