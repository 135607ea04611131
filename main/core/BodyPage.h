// The page a message body is printed from: a header with sender, recipients, copies and
// subject, then the body (plain text turned into markup, an HTML body kept as it is).
#pragma once

#include <string>
#include <string_view>

#include "main/core/Options.h"

namespace vellora::mail {
class MailMessage;
}

namespace vellora::core {

std::string EscapeHtml(std::string_view text);
// Plain text as markup that keeps runs of spaces and line breaks (CR LF or a lone LF).
std::string PlainTextToHtml(std::string_view text);
// The body after the first occurrence of the forward marker, when trimming is on and it occurs.
std::string TrimToForwardHeader(const std::string& body, const Options& options);
// Bodies labelled Latin-1 that really hold Windows-1252 punctuation: the C1 controls that
// code page gives printable characters become those characters.
std::string FixWindows1252(std::string_view text);
// Points cid: references at the given file name, leaving longer ids that start the same alone.
std::string ReplaceCid(std::string_view html, std::string_view contentId,
                       std::string_view fileName);

// Writes the page at path (created or overwritten); inline pictures of an HTML body are
// saved next to it and the body points at them. programFolder holds the logo file.
// Throws std::runtime_error when the page cannot be written.
void BuildBodyPage(const mail::MailMessage& message, const std::string& path,
                   const Options& options, const std::string& programFolder);

}  // namespace vellora::core
