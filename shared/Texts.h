// Texts that every program shares: file names, settings sections and keys, placeholders.
// One role has one text in every program; all of them are kept encoded.
#pragma once

#include "shared/Literal.h"

namespace vellora::texts {
using lit::Encode;

// Files and folders of the installation folder.
inline constexpr auto kSettingsFileName = Encode("vellora.ini");
inline constexpr auto kLogFileName = Encode("/vellora.log");
inline constexpr auto kTempFolderName = Encode("temp");       // bodies and attachments
inline constexpr auto kHelperTempFolderName = Encode("tmp");  // pages the helpers converted
inline constexpr auto kMissingValue = Encode("Bad Key");      // what a read of an absent key gives

// General section.
inline constexpr auto kGeneralSection = Encode("General");
inline constexpr auto kKeyUserName = Encode("UserName");
inline constexpr auto kKeyUserEmail = Encode("UserEmail");
inline constexpr auto kKeyInterval = Encode("CheckInterval");
inline constexpr auto kKeyStartWithDesktop = Encode("StartWithDesktop");
inline constexpr auto kKeyConfirmExit = Encode("ConfirmExit");
inline constexpr auto kKeyMinToTray = Encode("MinimiseToTray");
inline constexpr auto kKeyLogStatus = Encode("LogStatus");
inline constexpr auto kKeyCheckAtStart = Encode("CheckAtStartup");
inline constexpr auto kKeyTrimFwd = Encode("TrimToForwardHeader");
inline constexpr auto kKeyFwdHeader = Encode("ForwardHeader");
inline constexpr auto kKeyNotifyError = Encode("NotifyOnError");
inline constexpr auto kKeyNotifySuccess = Encode("NotifyOnSuccess");
inline constexpr auto kKeyNotifyEmail = Encode("NotifyAddress");
inline constexpr auto kKeyUseViewer = Encode("UsePdfViewer");
inline constexpr auto kKeyOffice2007 = Encode("UseOffice2007Types");
inline constexpr auto kKeyAppPrinter = Encode("ApplicationPrinter");
// The most attachments one message may queue (absent or not a number from 1 up: 50).
inline constexpr auto kKeyAttachmentCap = Encode("AttachmentCap");
// The authserv-id of the user's own mail server, whose Authentication-Results the rule field
// SenderAuthenticated believes (absent: none, and the field is never true).
inline constexpr auto kKeyTrustedAuthServ = Encode("TrustedAuthServId");
// 1: hostile documents and pictures are read only inside the sandbox; where it cannot run,
// such a job fails instead of running unconfined. Read by the helpers and the converter.
inline constexpr auto kKeyRequireConfinement = Encode("RequireConfinement");
// Where the one notice of an unconfined run is remembered (beside the log).
inline constexpr auto kUnconfinedMarker = Encode("/.vellora-unconfined");

// Body pages: an inline picture of page <stem>.html is saved beside it as <stem>_cid<n>_<name>;
// the HTML printer takes those along and nothing else of the page's folder.
inline constexpr auto kInlinePartInfix = Encode("_cid");
// OAuth2 clients, per provider preset: the key text followed by "." and the preset's id.
inline constexpr auto kKeyOAuthClientId = Encode("OAuthClientId");
inline constexpr auto kKeyOAuthClientSecret = Encode("OAuthClientSecret");
inline constexpr auto kKeyOAuthAuthorizeUrl = Encode("OAuthAuthorizeUrl");  // generic only
inline constexpr auto kKeyOAuthTokenUrl = Encode("OAuthTokenUrl");          // generic only
inline constexpr auto kKeyOAuthScope = Encode("OAuthScope");                // generic only

// Accounts.
inline constexpr auto kAccountsSection = Encode("Accounts");
inline constexpr auto kKeyAccountCount = Encode("Count");
inline constexpr auto kAccountPrefix = Encode("Account");
inline constexpr auto kKeyAcctId = Encode("ID");
inline constexpr auto kKeyAcctServer = Encode("Server");
inline constexpr auto kKeyAcctPort = Encode("Port");
inline constexpr auto kKeyAcctImap = Encode("IMAP");
inline constexpr auto kKeyAcctPop = Encode("POP");
inline constexpr auto kKeyAcctSsl = Encode("SSL");
inline constexpr auto kKeyAcctEncLogin = Encode("EncryptedLogin");
inline constexpr auto kKeyAcctNtlm = Encode("NTLM");
inline constexpr auto kKeyAcctUser = Encode("UserName");
inline constexpr auto kKeyAcctPassword = Encode("Password");
inline constexpr auto kKeyAcctLastMsg = Encode("LastMessage");
inline constexpr auto kKeyAcctPrintAll = Encode("PrintAll");
inline constexpr auto kKeyAcctPrintNew = Encode("PrintNew");
// How an account signs in (absent: with its password) and, for OAuth2, its provider preset,
// its refresh token (stored in the password's form) and the mark of a refused grant.
inline constexpr auto kKeyAcctAuth = Encode("AuthMethod");
inline constexpr auto kAuthOAuth2 = Encode("OAuth2");
inline constexpr auto kKeyAcctProvider = Encode("OAuthProvider");
inline constexpr auto kKeyAcctRefreshToken = Encode("RefreshToken");
inline constexpr auto kKeyAcctSignInNeeded = Encode("SignInNeeded");
inline constexpr auto kNoServer = Encode("(no server)");
inline constexpr auto kNoUser = Encode("(no user)");
inline constexpr auto kNoPassword = Encode("(no password)");

// Rules.
inline constexpr auto kRulesSection = Encode("Rules");
inline constexpr auto kKeyRuleCount = Encode("Count");
inline constexpr auto kRulePrefix = Encode("Rule");
inline constexpr auto kDefaultRuleSection = Encode("DefaultRule");
inline constexpr auto kKeyRuleId = Encode("ID");
inline constexpr auto kKeyRuleName = Encode("Name");
inline constexpr auto kKeyRuleField = Encode("Field");          // + 0..2
inline constexpr auto kKeyRuleCondition = Encode("Condition");  // + 0..2
inline constexpr auto kKeyRuleValue = Encode("Value");          // + 0..2
inline constexpr auto kKeyRuleJoin = Encode("Join");            // + 0..1
inline constexpr auto kKeyRulePrintBody = Encode("PrintBody");
inline constexpr auto kKeyRulePrintAtt = Encode("PrintAttachments");
inline constexpr auto kKeyRulePrinter = Encode("Printer");
inline constexpr auto kNoRuleName = Encode("(unnamed rule)");

// Attachment type lists, one section per editable family.
inline constexpr auto kWordTypesSection = Encode("WordProcessorTypes");
inline constexpr auto kSheetTypesSection = Encode("SpreadsheetTypes");
inline constexpr auto kSlideTypesSection = Encode("PresentationTypes");
inline constexpr auto kHtmlTypesSection = Encode("HtmlTypes");
inline constexpr auto kPictureTypesSection = Encode("PictureTypes");
inline constexpr auto kKeyTypeCount = Encode("Count");
inline constexpr auto kKeyTypeEntry = Encode("Type");  // + 1..count

// Job store.
inline constexpr auto kJobSection = Encode("Jobs");
inline constexpr auto kJobKeyPrefix = Encode("Job");

// Helper program file names.
inline constexpr auto kPictorExe = Encode("pictor");
inline constexpr auto kDocuvanExe = Encode("docuvan");
inline constexpr auto kWebbinExe = Encode("webbin");
inline constexpr auto kScribletExe = Encode("scriblet");
inline constexpr auto kGridletExe = Encode("gridlet");
inline constexpr auto kSlidorExe = Encode("slidor");

// The two services: where the programs find them (see shared/ServiceAddress.h).
inline constexpr auto kServicesSection = Encode("Services");
inline constexpr auto kKeyNotifyUrl = Encode("NotifyUrl");
inline constexpr auto kKeyConvertUrl = Encode("ConvertUrl");
inline constexpr auto kNotifyUrlEnv = Encode("VELLORA_NOTIFY_URL");
inline constexpr auto kConvertUrlEnv = Encode("VELLORA_CONVERT_URL");
inline constexpr auto kDefaultNotifyUrl = Encode("http://127.0.0.1:8631");
inline constexpr auto kDefaultConvertUrl = Encode("http://127.0.0.1:8632");
inline constexpr auto kNotifydExe = Encode("vellora-notifyd");
inline constexpr auto kConvertdExe = Encode("vellora-convertd");

}  // namespace vellora::texts
