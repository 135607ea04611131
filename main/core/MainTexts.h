// The main program's own texts, kept encoded. One block per area of the program; each area
// adds its texts to its own block.
#pragma once

#include "shared/Literal.h"

namespace vellora::core::texts {
using lit::Encode;

// --- main window, start-up, timer, status logs, notifications ---
inline constexpr auto kAppTitle = Encode("Vellora");
inline constexpr auto kAppDisplayName = Encode("Vellora mail printer");
inline constexpr auto kIconName = Encode("vellora");  // the program's icon resource
inline constexpr auto kLoadErrorPrefix = Encode("frmTavro Form_Load [");
inline constexpr auto kTickErrorPrefix = Encode("frmTavro tmrMailCheck_Timer [");
inline constexpr auto kNotifyErrorPrefix = Encode("SendNotification [");
inline constexpr auto kStepSeparator = Encode("] - ");
// Tab captions of SSTab1, SSTab2 and SSTab3.
inline constexpr auto kTabStatus = Encode("Status");
inline constexpr auto kTabAccounts = Encode("Accounts");
inline constexpr auto kTabRules = Encode("Rules");
inline constexpr auto kTabPrinters = Encode("Printers");
inline constexpr auto kTabSettings = Encode("Settings");
inline constexpr auto kTabAbout = Encode("About");
inline constexpr auto kTabOptions = Encode("Options");
inline constexpr auto kTabAttTypes = Encode("Attachment types");
inline constexpr auto kTabMailLog = Encode("Mail activity");
inline constexpr auto kTabErrorLog = Encode("Errors");
inline constexpr auto kTabSuccessLog = Encode("Printed jobs");
// Status tab.
inline constexpr auto kLastCheckCaption = Encode("Last check:");
inline constexpr auto kNextCheckCaption = Encode("Next check in:");
inline constexpr auto kNeverChecked = Encode("not yet");
// Fixed formats (strftime): check labels, countdown, log boxes, status file and its name.
inline constexpr auto kCheckTimeFormat = Encode("%Y-%m-%d %H:%M:%S");
inline constexpr auto kBoxTimeFormat = Encode("%Y-%m-%d %H:%M:%S");
inline constexpr auto kFileTimeFormat = Encode("[%Y-%m-%d %H:%M:%S] ");
inline constexpr auto kStatusFilePattern = Encode("status-%Y-%m-%d.log");
inline constexpr auto kCountdownFormat = Encode("%02lld:%02lld:%02lld");  // hours, minutes, seconds
inline constexpr auto kLinkMarkup = Encode("<a href=\"%1\">%2</a>");
inline constexpr auto kIconResourceFolder = Encode(":/icons/");
inline constexpr auto kIconResourceType = Encode(".svg");
// Tray tip pieces.
inline constexpr auto kTipLastCheck = Encode(" - last: ");
inline constexpr auto kTipNextCheck = Encode(" next: ");
// Questions of the window.
inline constexpr auto kExitQuestion =
    Encode("Do you really want to close Vellora? No mail is printed while it is closed.");
inline constexpr auto kExitTitle = Encode("Close Vellora");
inline constexpr auto kFailedJobsQuestion =
    Encode("Some print jobs have failed. Do you want to see the list now?");
inline constexpr auto kFailedJobsTitle = Encode("Failed print jobs");
// Interval combo.
inline constexpr auto kIntervalCaption = Encode("Check for mail every (minutes, 0 = off):");
inline constexpr auto kIntervalTip =
    Encode("Minutes between two mail checks; 0 switches checking off. You may type any number.");
// About page.
inline constexpr auto kAboutText = Encode(
    "Vellora watches your POP3 and IMAP mailboxes and prints what arrives, following your rules: "
    "the message, its attachments or both, on the printer each rule names.");
inline constexpr auto kAboutVersion = Encode("Version 0.1");
inline constexpr auto kHomePageCaption = Encode("Project page");
inline constexpr auto kHomePageUrl = Encode("http://127.0.0.1/vellora");
// Notifications: the service's request (path, four query keys), its success word, and the
// kinds, titles and texts of the events.
inline constexpr auto kNotifyDefaultBase = Encode("http://127.0.0.1:8631");
inline constexpr auto kNotifyUrlEnv = Encode("VELLORA_NOTIFY_URL");
inline constexpr auto kNotifyPath = Encode("/notify");
inline constexpr auto kNotifyKeyKind = Encode("kind");
inline constexpr auto kNotifyKeySubject = Encode("subject");
inline constexpr auto kNotifyKeyBody = Encode("body");
inline constexpr auto kNotifyKeyRecipient = Encode("to");
inline constexpr auto kNotifySuccessWord = Encode("SENT");
inline constexpr auto kNotifyFailed = Encode("Notification could not be sent: ");
inline constexpr auto kNotifyKindError = Encode("error");
inline constexpr auto kNotifyKindSuccess = Encode("success");

// --- accounts, mail check, first-run wizard ---

// --- rules ---

// --- attachment types, body pages, job creation ---

// --- printers, dispatcher, failed jobs ---

// --- options ---

}  // namespace vellora::core::texts
