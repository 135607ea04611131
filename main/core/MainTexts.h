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
// Error-log prefixes of the account routines and the mail check.
inline constexpr auto kLogLoadAccounts = Encode("LoadAccounts - ");
inline constexpr auto kLogSaveAccounts = Encode("SaveAccounts - ");
inline constexpr auto kLogRefreshAccounts = Encode("RefreshAccountList - ");
inline constexpr auto kLogSelectAccount = Encode("lstAccounts_Click - ");
inline constexpr auto kLogSaveAcct = Encode("cmdSaveAcct_Click - ");
inline constexpr auto kLogDelAcct = Encode("cmdDelAcct_Click - ");
inline constexpr auto kLogMailCheck = Encode("RunMailCheck");

// Mail check lines; each carries its own spacing and follows the account label.
inline constexpr auto kCheckNoProtocol =
    Encode(": no protocol chosen (IMAP or POP3), account skipped");
inline constexpr auto kCheckTlsFailed = Encode(": no secure connection, code ");
inline constexpr auto kCheckConnectFailed = Encode(": connection or login failed, code ");
inline constexpr auto kCheckNewMessages = Encode(" new message(s)");
inline constexpr auto kCheckFetching = Encode("fetching message ");
inline constexpr auto kCheckFetched = Encode("fetched message ");
inline constexpr auto kCheckRetrieveFailed = Encode(": could not fetch message ");
inline constexpr auto kCheckProcessing = Encode(": printing ");
inline constexpr auto kCheckProcessed = Encode(": done with ");
inline constexpr auto kCheckColon = Encode(": ");
// Run-time errors of the check.
inline constexpr auto kCheckBadId = Encode("message id is not a number: ");
inline constexpr auto kCheckTooMany = Encode("too many messages in the mailbox: ");
// Error notification of the check.
inline constexpr auto kCheckNotifySubject = Encode("Vellora mail check failed");
inline constexpr auto kCheckNotifyStep = Encode("The mail check stopped at step ");
inline constexpr auto kCheckNotifyMessage = Encode(" while handling the message '");
inline constexpr auto kCheckNotifyError = Encode("'. Error: ");

// Account test.
inline constexpr auto kTestTitle = Encode("Test account");
inline constexpr auto kTestNoProtocol = Encode("Choose IMAP or POP3 first.");
inline constexpr auto kTestBadPort = Encode("The port must be a number from 1 to 65535.");
inline constexpr auto kTestTlsFailed = Encode("No secure connection could be made to the server.");
inline constexpr auto kTestConnectFailed =
    Encode("The connection or the login failed. Check the server, port, user name and password.");
inline constexpr auto kTestWorks = Encode("The account works.");

// Accounts tab.
inline constexpr auto kSaveAcctTitle = Encode("Save account");
inline constexpr auto kSaveAcctsTitle = Encode("Save accounts");
inline constexpr auto kNewAcctTitle = Encode("New account");
inline constexpr auto kDelAcctTitle = Encode("Delete account");
inline constexpr auto kAcctServerMissing = Encode("Enter the server address.");
inline constexpr auto kAcctPortMissing = Encode("Enter the port number.");
inline constexpr auto kAcctPortNotNumeric =
    Encode("The port number may hold only the digits 0 to 9.");
inline constexpr auto kAcctPortRange = Encode("The port number must lie between 1 and 65535.");
inline constexpr auto kAcctUserMissing = Encode("Enter the user name.");
inline constexpr auto kAcctPasswordMissing = Encode("Enter the password.");
inline constexpr auto kLimitPlaceholder = Encode("%n");
inline constexpr auto kAcctLimitSave =
    Encode("At most %n accounts can be kept; only the first %n are saved.");
inline constexpr auto kAcctLimitNew = Encode("At most %n accounts can be kept.");
inline constexpr auto kAcctChangedLead = Encode("The account ");
inline constexpr auto kAcctChangedAsk = Encode(" has changed. Save it?");
inline constexpr auto kAcctDeleteAsk = Encode("Delete the account of the user ");
inline constexpr auto kAcctNewLine = Encode("(new account)");
inline constexpr auto kAcctDupeSuffix = Encode(" (copy)");

// First-run wizard.
inline constexpr auto kWizTitle = Encode("Vellora - first start");
inline constexpr auto kWizChoicePop3 = Encode("POP3");
inline constexpr auto kWizChoiceImap = Encode("IMAP");
inline constexpr auto kWizChoiceYes = Encode("Yes");
inline constexpr auto kWizChoiceNo = Encode("No");
inline constexpr auto kWizInfo1 =
    Encode("Welcome to Vellora. Please enter your name and your e-mail address.");
inline constexpr auto kWizLabel1a = Encode("Your name");
inline constexpr auto kWizLabel1b = Encode("Your e-mail address");
inline constexpr auto kWizInfo2 =
    Encode("Enter the address of your incoming mail server and choose how Vellora talks to it.");
inline constexpr auto kWizLabel2a = Encode("Incoming mail server");
inline constexpr auto kWizLabel2b = Encode("Protocol");
inline constexpr auto kWizInfo3 = Encode("Enter the user name and the password of the mailbox.");
inline constexpr auto kWizLabel3a = Encode("User name");
inline constexpr auto kWizLabel3b = Encode("Password");
inline constexpr auto kWizInfo4 = Encode("Choose how the connection to the server is secured.");
inline constexpr auto kWizLabel4a = Encode("Secure connection (SSL)");
inline constexpr auto kWizLabel4b = Encode("NTLM authentication");
inline constexpr auto kWizInfo5 =
    Encode("Vellora can now try to log in to your mailbox with these settings.");
inline constexpr auto kWizLabel5b = Encode("Test the account");
inline constexpr auto kWizInfo6 =
    Encode("Choose which applications Vellora may use to print attachments. Then press Finish.");
inline constexpr auto kWizLabel6a = Encode("Use the Office 2007 file types");
inline constexpr auto kWizLabel6b = Encode("Use the PDF viewer");
inline constexpr auto kWizBack = Encode("< Back");
inline constexpr auto kWizNext = Encode("Next >");
inline constexpr auto kWizFinish = Encode("Finish");
inline constexpr auto kWizCancel = Encode("Cancel");
inline constexpr auto kWizNoProtocol = Encode("Choose POP3 or IMAP on the server page.");
inline constexpr auto kWizSslFailed = Encode("No secure connection could be made to the server.");
inline constexpr auto kWizCannotConnect =
    Encode("Vellora could not connect to the server or log in.");
inline constexpr auto kWizTestFailed =
    Encode("The test failed. Go back and check the settings, or finish and correct them later.");
inline constexpr auto kWizAccountOk = Encode("The account settings are correct.");
// Provider presets: domain, incoming host.
inline constexpr auto kPreset1Domain = Encode("gmail.com");
inline constexpr auto kPreset1Host = Encode("imap.gmail.com");
inline constexpr auto kPreset2Domain = Encode("web.de");
inline constexpr auto kPreset2Host = Encode("pop3.web.de");
inline constexpr auto kPreset3Domain = Encode("aol.com");
inline constexpr auto kPreset3Host = Encode("imap.aol.com");
inline constexpr auto kPreset4Domain = Encode("gmx.net");
inline constexpr auto kPreset4Host = Encode("pop.gmx.net");

// --- rules ---

// --- attachment types, body pages, job creation ---

// --- printers, dispatcher, failed jobs ---

// --- options ---

}  // namespace vellora::core::texts
