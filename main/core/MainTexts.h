// The main program's own texts, kept encoded. One block per area of the program; each area
// adds its texts to its own block.
#pragma once

#include "shared/Literal.h"
#include "shared/Texts.h"

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
inline constexpr auto kCheckCountFailed =
    Encode(": the mailbox could not be read after the login, account checked again next time");
inline constexpr auto kCheckProcessing = Encode(": printing ");
inline constexpr auto kCheckProcessed = Encode(": done with ");
inline constexpr auto kCheckColon = Encode(": ");
// Run-time errors of the check.
inline constexpr auto kCheckBadId = Encode("message id is not a number: ");
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
inline constexpr auto kDefaultRuleName = Encode("(Default rule)");
inline constexpr auto kRuleUseDefaultPrinter = Encode("(Use the application printer)");
// The field, condition and join vocabularies: stored in rules, so part of the settings format.
inline constexpr auto kFieldAccount = Encode("Account");
inline constexpr auto kFieldAttachmentName = Encode("AttachmentName");
inline constexpr auto kFieldBody = Encode("Body");
inline constexpr auto kFieldCcAddress = Encode("CcAddress");
inline constexpr auto kFieldCcName = Encode("CcName");
inline constexpr auto kFieldFromAddress = Encode("FromAddress");
inline constexpr auto kFieldFromName = Encode("FromName");
inline constexpr auto kFieldHasAttachment = Encode("HasAttachment");
inline constexpr auto kFieldSenderAuthenticated = Encode("SenderAuthenticated");
inline constexpr auto kFieldSubject = Encode("Subject");
inline constexpr auto kFieldToAddress = Encode("ToAddress");
inline constexpr auto kFieldToName = Encode("ToName");
inline constexpr auto kCondContains = Encode("Contains");
inline constexpr auto kCondEndsWith = Encode("EndsWith");
inline constexpr auto kCondEquals = Encode("Equals");
inline constexpr auto kCondRegex = Encode("Regex");
inline constexpr auto kCondStartsWith = Encode("StartsWith");
inline constexpr auto kJoinAnd = Encode("And");
inline constexpr auto kJoinOr = Encode("Or");
inline constexpr auto kTipField = Encode("The part of the message this term looks at");
inline constexpr auto kTipCondition = Encode("How the value is compared with that part");
inline constexpr auto kTipLogic = Encode("How this term combines with the next one");
inline constexpr auto kTitleSaveRule = Encode("Save Rule");
inline constexpr auto kTitleSaveRules = Encode("Save Rules");
inline constexpr auto kTitleNewRule = Encode("New Rule");
inline constexpr auto kTitleDupeRule = Encode("Duplicate Rule");
inline constexpr auto kTitleRenameRule = Encode("Rename Rule");
inline constexpr auto kTitleDeleteRule = Encode("Delete Rule");
inline constexpr auto kMsgFieldMissing = Encode(
    "Please choose a field for every term that has a condition or a value, and for both terms "
    "around a join.");
inline constexpr auto kMsgConditionMissing = Encode(
    "Please choose a condition for every term that has a field or a value, and for both terms "
    "around a join.");
inline constexpr auto kMsgValueMissing = Encode(
    "Please enter a value for every term that has a field or a condition, and for both terms "
    "around a join.");
inline constexpr auto kMsgJoinMissing = Encode("Please choose And or Or to join the terms.");
inline constexpr auto kMsgBadPatternLead = Encode("The regular expression of term ");
inline constexpr auto kMsgBadPatternMid = Encode(" cannot be used: ");
inline constexpr auto kMsgRuleLimitLead = Encode("The maximum number of rules is ");
inline constexpr auto kMsgRuleLimitMid = Encode(". Only the first ");
inline constexpr auto kMsgRuleLimitEnd = Encode(" rules are saved.");
inline constexpr auto kMsgRuleLimitDot = Encode(".");
inline constexpr auto kMsgRuleChangedLead = Encode("The rule ");
inline constexpr auto kMsgRuleChangedEnd = Encode(" has changed. Do you want to save it?");
inline constexpr auto kMsgDeleteRuleLead = Encode("Do you really want to delete the rule ");
inline constexpr auto kPromptRuleName = Encode("Name of the rule:");
inline constexpr auto kErrRegexLead =
    Encode("Rule condition skipped, its regular expression failed: ");
inline constexpr auto kLogMatchRules = Encode("MatchRules: ");
inline constexpr auto kLogSaveRule = Encode("cmdSaveRule_Click: ");
inline constexpr auto kLogRefreshRules = Encode("RefreshRuleList: ");

// --- attachment types, body pages, job creation ---
inline constexpr auto kFamilyWord = Encode("Word-processor documents:");
inline constexpr auto kFamilySheet = Encode("Spreadsheets:");
inline constexpr auto kFamilySlides = Encode("Presentations:");
inline constexpr auto kFamilyHtml = Encode("HTML documents:");
inline constexpr auto kFamilyPdf = Encode("PDF documents:");
inline constexpr auto kFamilyPicture = Encode("Pictures:");
inline constexpr auto kExtHeadingTail =
    Encode("Patterns matched against the extension in capitals");
inline constexpr auto kNewExtPlaceholder = Encode("^NEWTYPE$");
inline constexpr auto kTitleSaveExt = Encode("Save Extension");
inline constexpr auto kTitleDeleteExt = Encode("Delete Extension");
inline constexpr auto kMsgSaveExt =
    Encode("The extension pattern has changed. Do you want to save it?");
inline constexpr auto kMsgDeleteExt =
    Encode("Do you really want to delete this extension pattern?");
inline constexpr auto kRegexHelpUrl =
    Encode("https://developer.mozilla.org/en-US/docs/Web/JavaScript/Guide/Regular_expressions");
// Built-in patterns; the Office-2007 variants add the Open XML formats.
inline constexpr auto kWordBuiltIn = Encode("^(DOC|DOT|RTF|WPD|ODT|OTT|FODT|SXW)$");
inline constexpr auto kWordBuiltIn2007 =
    Encode("^(DOC|DOCX|DOCM|DOT|DOTX|DOTM|RTF|WPD|ODT|OTT|FODT|SXW)$");
inline constexpr auto kSheetBuiltIn = Encode("^(XLS|XLT|CSV|ODS|OTS|FODS|SXC)$");
inline constexpr auto kSheetBuiltIn2007 =
    Encode("^(XLS|XLSX|XLSM|XLSB|XLT|XLTX|XLTM|CSV|ODS|OTS|FODS|SXC)$");
inline constexpr auto kSlidesBuiltIn = Encode("^(PPT|PPS|POT|ODP|OTP|FODP|SXI)$");
inline constexpr auto kSlidesBuiltIn2007 =
    Encode("^(PPT|PPTX|PPTM|PPS|PPSX|PPSM|POT|POTX|POTM|ODP|OTP|FODP|SXI)$");
inline constexpr auto kHtmlBuiltIn = Encode("^(HTML?|XHTML|TXT)$");
inline constexpr auto kPictureBuiltIn = Encode("^(JPE?G|JFIF|PNG|GIF|BMP|TIFF?|WEBP|HEIC|HEIF)$");
inline constexpr auto kPdfExtension = Encode("PDF");
inline constexpr auto kLogLoadAttLists = Encode("LoadAttachmentLists: ");
// Body pages.
inline constexpr auto kPageExtension = Encode(".html");
inline constexpr auto kPageAccountPrefix = Encode("a");
inline constexpr auto kLogoFileName = Encode("vellora-logo.svg");
inline constexpr auto kLogoDataPrefix = Encode("data:image/svg+xml;base64,");
inline constexpr auto kBodyCharsetFix = Encode("iso-8859-1");
inline constexpr auto kPageHead1 = Encode("<html><head><meta charset=\"utf-8\"><title>");
inline constexpr auto kPageHead2 = Encode(
    "</title><style>@page{margin:14mm}body{margin:0;font-family:\"DejaVu Sans\",\"Liberation "
    "Sans\",Arial,sans-serif;font-size:10.5pt;color:#000;overflow-wrap:anywhere}.vh{border-bottom:"
    "1px solid #777;margin-bottom:10pt;padding-bottom:4pt;page-break-inside:avoid}.vh "
    "img{float:right;height:26pt}table{font-size:inherit}.vh table{border-collapse:collapse}.vh "
    "td{vertical-align:top;padding:1pt 6pt 1pt 0}.vh td.l{font-weight:bold;white-space:nowrap}.vb "
    "img,.vb table{max-width:100%}</style></head><body>");
inline constexpr auto kPageLogo1 = Encode("<div class=\"vh\"><img alt=\"\" src=\"");
inline constexpr auto kPageLogo2 = Encode("\"><table>");
inline constexpr auto kPageNoLogo = Encode("<div class=\"vh\"><table>");
inline constexpr auto kPageFromLabel = Encode("<tr><td class=\"l\">From:</td><td>");
inline constexpr auto kPageToLabel = Encode("<tr><td class=\"l\">To:</td><td>");
inline constexpr auto kPageCcLabel = Encode("<tr><td class=\"l\">Cc:</td><td>");
inline constexpr auto kPageSubjectLabel = Encode("<tr><td class=\"l\">Subject:</td><td>");
inline constexpr auto kPageAddrOpen = Encode(" &lt;");
inline constexpr auto kPageAddrClose = Encode("&gt;");
inline constexpr auto kPageEntryLeadIn = Encode("<br>");
inline constexpr auto kPageLineEnd = Encode("</td></tr>");
inline constexpr auto kPageHeaderClose = Encode("</table></div><div class=\"vb\">");
inline constexpr auto kPageFooter = Encode("</div></body></html>");
inline constexpr auto kPlainSpace = Encode("&nbsp;<wbr>");
inline constexpr auto kPlainBreak = Encode("<br>");
inline constexpr auto kInlinePartInfix = vellora::texts::kInlinePartInfix;
// Attachments without a usable extension, and documents no helper prints.
inline constexpr auto kErrorPageSuffix = Encode("_noext.html");
inline constexpr auto kErrorPageTemplate = Encode(
    "<html><head><meta charset=\"utf-8\"><title>Attachment not "
    "printed</title><style>@page{margin:14mm}body{font-family:\"DejaVu "
    "Sans\",sans-serif;font-size:12pt}</style></head><body><h2>Attachment not printed</h2><p>The "
    "attachment <b>%ATTNAME%</b> of the message <b>%SUBJECT%</b> has no file extension, so Vellora "
    "cannot tell which program prints it.</p><p>Save the attachment from your mail program and "
    "print it from there.</p></body></html>");
inline constexpr auto kErrorPageNamePlaceholder = Encode("%ATTNAME%");
inline constexpr auto kErrorPageSubjectPlaceholder = Encode("%SUBJECT%");
inline constexpr auto kTitleAttachmentError = Encode("Vellora: attachment not printed");
inline constexpr auto kAttErrorBody1 = Encode("The attachment ");
inline constexpr auto kAttErrorBody2 = Encode(" of the message ");
inline constexpr auto kAttErrorBody3 = Encode(" has no file extension and was not printed.");
inline constexpr auto kTitleUnhandledDoc = Encode("Vellora: document type not printed");
// More attachments than one message may queue.
inline constexpr auto kTitleTooManyAttachments = Encode("Vellora: too many attachments");
inline constexpr auto kTooManyAtt1 = Encode("The message ");
inline constexpr auto kTooManyAtt2 = Encode(" has more than ");
inline constexpr auto kTooManyAtt3 = Encode(" attachments; only the first ");
inline constexpr auto kTooManyAtt4 = Encode(" were queued for printing.");
// Authentication-Results (RFC 8601): the words the sender check reads.
inline constexpr auto kAuthResultsHeader = Encode("Authentication-Results");
inline constexpr auto kAuthNone = Encode("none");
inline constexpr auto kAuthReason = Encode("reason");
inline constexpr auto kAuthPass = Encode("pass");
inline constexpr auto kAuthDmarc = Encode("dmarc");
inline constexpr auto kAuthDkim = Encode("dkim");
inline constexpr auto kAuthHeaderFrom = Encode("header.from");
inline constexpr auto kAuthHeaderD = Encode("header.d");
inline constexpr auto kAuthHeaderI = Encode("header.i");
inline constexpr auto kMailUnhandledFormat = Encode("No program prints this type of document: ");
inline constexpr auto kLogCreateJob = Encode("CreateJobForFile: ");
inline constexpr auto kLogBuildBodyPage = Encode("BuildBodyPage: ");
inline constexpr auto kLogBodyStep = Encode("BodyStep: ");
inline constexpr auto kLogAttachmentStep = Encode("AttachmentStep: ");

// --- printers, dispatcher, failed jobs ---
inline constexpr auto kSystemDefaultEntry = Encode("(Use the system default printer)");
inline constexpr auto kNoPrinterSelected = Encode("(No printer selected)");
inline constexpr auto kDefaultPrinterMarker = Encode("(default)");
inline constexpr auto kJobSuccessPrefix = Encode("Printed: ");
inline constexpr auto kJobFailurePrefix = Encode("Not printed: ");
inline constexpr auto kJobAwaitingTimeout =
    Encode("The print helper did not start within 3 minutes.");
inline constexpr auto kJobActiveTimeout =
    Encode("The print helper did not finish within 10 minutes.");
inline constexpr auto kJobUnrecognised =
    Encode("The job's progress could not be read from the job store.");
inline constexpr auto kJobLaunchFailed = Encode("The print helper could not be started: ");
inline constexpr auto kTitleJobSuccess = Encode("Vellora: document printed");
inline constexpr auto kJobSuccessSentence = Encode(" has been printed.");
inline constexpr auto kTitleJobFailure = Encode("Vellora: document not printed");
inline constexpr auto kJobFailureSeparator = Encode(": ");
inline constexpr auto kLogCheckJobs = Encode("CheckJobs: ");
inline constexpr auto kLogSwitchFailed =
    Encode("CheckJobs: the printer could not be made the default: ");
inline constexpr auto kLogDeleteFailed =
    Encode("CheckJobs: the printed document could not be deleted: ");
inline constexpr auto kTitleRetryJob = Encode("Retry Job");
inline constexpr auto kJobErrCaption = Encode("Failed Vellora Jobs");
inline constexpr auto kJobErrView = Encode("View Error");
inline constexpr auto kJobErrRemove = Encode("Remove Job");
inline constexpr auto kJobErrRetry = Encode("Retry Job");
inline constexpr auto kJobErrDetailTitle = Encode("Failed Job Detail");
inline constexpr auto kMsgRetryQueued = Encode("This job is already waiting in the print queue.");

// --- options ---
// Test-only overrides of the real program's timing (end-to-end tests, benchmarks, demo).
inline constexpr auto kTestTickEnv = Encode("VELLORA_TEST_TICK_MS");
inline constexpr auto kTestCheckEnv = Encode("VELLORA_TEST_CHECK_SECONDS");
// The desktop session's autostart entry.
inline constexpr auto kAutostartSubfolder = Encode("/autostart");
inline constexpr auto kDefaultConfigSubfolder = Encode("/.config");
inline constexpr auto kAutostartFileName = Encode("/vellora.desktop");
inline constexpr auto kProgramExe = Encode("vellora");
inline constexpr auto kDesktopEntryHeader =
    Encode("[Desktop Entry]\nType=Application\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
inline constexpr auto kDesktopEntryName = Encode("Name=");
inline constexpr auto kDesktopEntryExec = Encode("Exec=");
inline constexpr auto kDesktopEntryPath = Encode("Path=");
inline constexpr auto kAutostartNoFolder =
    Encode("no autostart folder (neither XDG_CONFIG_HOME nor HOME)");
inline constexpr auto kAutostartBadFolder = Encode("folder not usable in an autostart entry: ");
inline constexpr auto kAutoStartErrorPrefix = Encode("chkAutoStart_Click [");

// --- OAuth2 accounts: tokens before a check, refused grants ---
inline constexpr auto kTokenNotSetUp = Encode(
    ": signs in with OAuth2, but the options lack the provider's client id or "
    "endpoints; account skipped");
inline constexpr auto kTokenNeedsSignIn =
    Encode(": needs a new sign-in with the provider's page; account skipped");
inline constexpr auto kTokenNeverSignedIn =
    Encode(": has not been signed in with the provider's page yet; sign in to check it");
inline constexpr auto kTokenRefused = Encode(
    ": the provider no longer accepts Vellora's sign-in (revoked or expired); sign in "
    "again with the provider's page. ");
inline constexpr auto kTokenRefreshFailed =
    Encode(": could not renew the sign-in now, trying again at the next check: ");
inline constexpr auto kTokenNotStored = Encode(
    ": the renewed sign-in could not be stored in the settings file; it is kept until "
    "Vellora ends");
inline constexpr auto kTokenNoMechanism = Encode(
    ": the server offers neither OAUTHBEARER nor XOAUTH2, so an OAuth2 sign-in "
    "cannot log in; account skipped");
inline constexpr auto kTokenNotifySubject = Encode("Vellora: sign in again");
inline constexpr auto kTokenNotifyBody = Encode(
    "Vellora can no longer check this mailbox, because the provider refused its "
    "sign-in: ");
inline constexpr auto kTokenNotifyAction =
    Encode(". Open Vellora's accounts tab and sign in again with the provider's page.");

}  // namespace vellora::core::texts
