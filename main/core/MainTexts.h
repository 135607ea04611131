// The main program's own texts, kept encoded. One block per area of the program; each area
// adds its texts to its own block.
#pragma once

#include "shared/Literal.h"

namespace vellora::core::texts {
using lit::Encode;

// --- main window, start-up, timer, status logs, notifications ---

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
inline constexpr auto kNotifyErrorKind = Encode("error");
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
inline constexpr auto kAcctCapServer = Encode("Server");
inline constexpr auto kAcctCapPort = Encode("Port");
inline constexpr auto kAcctCapUser = Encode("User name");
inline constexpr auto kAcctCapPassword = Encode("Password");
inline constexpr auto kAcctCapId = Encode("Account ID");
inline constexpr auto kAcctCapImap = Encode("IMAP");
inline constexpr auto kAcctCapPop = Encode("POP3");
inline constexpr auto kAcctCapSsl = Encode("Secure connection (SSL)");
inline constexpr auto kAcctCapEncPw = Encode("Encrypted login");
inline constexpr auto kAcctCapNtlm = Encode("NTLM authentication");
inline constexpr auto kAcctCapPAll = Encode("Print all messages on the first check");
inline constexpr auto kAcctCapPNew = Encode("Print only messages that arrive later");
inline constexpr auto kAcctCapNew = Encode("New");
inline constexpr auto kAcctCapDupe = Encode("Duplicate");
inline constexpr auto kAcctCapDel = Encode("Delete");
inline constexpr auto kAcctCapSave = Encode("Save");
inline constexpr auto kAcctCapTest = Encode("Test");
inline constexpr auto kAcctSeePwTip = Encode("Hold the mouse button down to see the password");

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
