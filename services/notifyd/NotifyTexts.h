// The notification service's own texts: answers, mail header names, option names.
#pragma once

#include "shared/Literal.h"

namespace vellora::notifyd::texts {
using lit::Encode;

// Answers (each follows the error word and a blank).
inline constexpr auto kMissingValue = Encode("missing query value: ");
inline constexpr auto kBadRecipient = Encode("recipient is not a plain mail address");
inline constexpr auto kLineBreak = Encode("line break not allowed in: ");
inline constexpr auto kControlChar = Encode("control character not allowed in: ");
inline constexpr auto kTooLong = Encode("value too long: ");
inline constexpr auto kNotUtf8 = Encode("value is not UTF-8: ");
inline constexpr auto kSendFailed = Encode("mail not sent: ");
inline constexpr auto kNotAllowed = Encode("this service does not send to that recipient");
inline constexpr auto kTooMany = Encode("too many notifications, at most this many a minute: ");
inline constexpr auto kNobodyAllowed = Encode(
    "vellora-notifyd: neither an allow-list (allow) nor an owner address (owner) is "
    "configured: every notification will be refused");
inline constexpr auto kNotFound = Encode("unknown request");
inline constexpr auto kInternal = Encode("internal error");

// Mail headers.
inline constexpr auto kHdrFrom = Encode("From: ");
inline constexpr auto kHdrTo = Encode("To: ");
inline constexpr auto kHdrSubject = Encode("Subject: ");
inline constexpr auto kHdrDate = Encode("Date: ");
inline constexpr auto kHdrMessageId = Encode("Message-ID: ");
inline constexpr auto kHdrMime = Encode("MIME-Version: 1.0");
inline constexpr auto kHdrContentType = Encode("Content-Type: text/plain; charset=utf-8");
inline constexpr auto kHdrEncoding = Encode("Content-Transfer-Encoding: base64");
inline constexpr auto kHdrKind = Encode("X-Vellora-Kind: ");
inline constexpr auto kHdrMailer = Encode("X-Mailer: vellora-notifyd");
inline constexpr auto kEncodedWordStart = Encode("=?UTF-8?B?");
inline constexpr auto kMessageIdDomain = Encode("@vellora-notifyd");
inline constexpr auto kDateFormat = Encode("%a, %d %b %Y %H:%M:%S %z");

// Command line and configuration file.
inline constexpr auto kOptConfig = Encode("config");
inline constexpr auto kOptListen = Encode("listen");
inline constexpr auto kOptPort = Encode("port");
inline constexpr auto kOptSmtp = Encode("smtp");
inline constexpr auto kOptTls = Encode("tls");
inline constexpr auto kOptUser = Encode("user");
inline constexpr auto kOptPassword = Encode("password");
inline constexpr auto kOptPasswordFile = Encode("password-file");
inline constexpr auto kOptFrom = Encode("from");
inline constexpr auto kOptCaFile = Encode("ca-file");
inline constexpr auto kOptTimeout = Encode("timeout");
inline constexpr auto kOptLog = Encode("log");
inline constexpr auto kOptAllow = Encode("allow");
inline constexpr auto kOptOwner = Encode("owner");
inline constexpr auto kOptRate = Encode("rate");
inline constexpr auto kOptRequestTime = Encode("request-time");
inline constexpr auto kOptHostName = Encode("host-name");
inline constexpr auto kNoPasswordOption = Encode(
    "--password (the relay password is never taken from the command line: use "
    "--password-file FILE, or password = in the configuration file)");
inline constexpr auto kTlsNone = Encode("none");
inline constexpr auto kTlsStartTls = Encode("starttls");
inline constexpr auto kTlsImplicit = Encode("implicit");
inline constexpr auto kDefaultListen = Encode("127.0.0.1");
inline constexpr auto kDefaultSmtp = Encode("smtp://127.0.0.1:25");
inline constexpr auto kDefaultFrom = Encode("vellora@localhost");
inline constexpr auto kUsage = Encode(
    "usage: vellora-notifyd [--config FILE] [--listen ADDR] [--port N] [--smtp URL]\n"
    "       [--tls none|starttls|implicit] [--user NAME] [--password-file FILE]\n"
    "       [--from ADDRESS] [--ca-file FILE] [--timeout SECONDS] [--log FILE]\n"
    "       [--allow 'ADDRESS @DOMAIN ...'] [--owner 'ADDRESS ...'] [--rate MAILS-A-MINUTE]\n"
    "       [--request-time SECONDS] [--host-name NAME]...\n"
    "The configuration file holds the same names as 'name = value' lines.\n");
inline constexpr auto kBadOption = Encode("vellora-notifyd: bad option or value: ");
inline constexpr auto kCannotBind = Encode("vellora-notifyd: cannot listen on ");
inline constexpr auto kListening = Encode("vellora-notifyd: listening on ");

}  // namespace vellora::notifyd::texts
