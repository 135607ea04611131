// The OAuth2 layer's texts, kept encoded: protocol words, provider presets, the page shown in
// the browser and the messages a failed sign-in or token request gives.
#pragma once

#include "shared/Literal.h"

namespace vellora::oauth::texts {
using lit::Encode;

// Protocol words (RFC 6749, RFC 7636).
inline constexpr auto kResponseType = Encode("response_type");
inline constexpr auto kCode = Encode("code");
inline constexpr auto kClientId = Encode("client_id");
inline constexpr auto kClientSecret = Encode("client_secret");
inline constexpr auto kRedirectUri = Encode("redirect_uri");
inline constexpr auto kScope = Encode("scope");
inline constexpr auto kState = Encode("state");
inline constexpr auto kLoginHint = Encode("login_hint");
inline constexpr auto kCodeChallenge = Encode("code_challenge");
inline constexpr auto kCodeChallengeMethod = Encode("code_challenge_method");
inline constexpr auto kS256 = Encode("S256");
inline constexpr auto kCodeVerifier = Encode("code_verifier");
inline constexpr auto kGrantType = Encode("grant_type");
inline constexpr auto kGrantCode = Encode("authorization_code");
inline constexpr auto kGrantRefresh = Encode("refresh_token");
inline constexpr auto kRefreshToken = Encode("refresh_token");
inline constexpr auto kAccessToken = Encode("access_token");
inline constexpr auto kTokenType = Encode("token_type");
inline constexpr auto kBearer = Encode("bearer");
inline constexpr auto kExpiresIn = Encode("expires_in");
inline constexpr auto kError = Encode("error");
inline constexpr auto kErrorDescription = Encode("error_description");
inline constexpr auto kInvalidGrant = Encode("invalid_grant");
inline constexpr auto kInteractionRequired = Encode("interaction_required");
inline constexpr auto kConsentRequired = Encode("consent_required");
inline constexpr auto kLoginRequired = Encode("login_required");
inline constexpr auto kFormType = Encode("Content-Type: application/x-www-form-urlencoded");
inline constexpr auto kAcceptJson = Encode("Accept: application/json");
inline constexpr auto kHttpSchemes = Encode("http,https");
inline constexpr auto kLoopbackAddress = Encode("127.0.0.1");
inline constexpr auto kCaFileEnv = Encode("VELLORA_CA_FILE");

// Provider presets.
inline constexpr auto kGoogleId = Encode("google");
inline constexpr auto kGoogleName = Encode("Google (Gmail, Google Workspace)");
inline constexpr auto kGoogleAuthorize = Encode("https://accounts.google.com/o/oauth2/v2/auth");
inline constexpr auto kGoogleToken = Encode("https://oauth2.googleapis.com/token");
inline constexpr auto kGoogleScope = Encode("https://mail.google.com/");
inline constexpr auto kGoogleImap = Encode("imap.gmail.com");
inline constexpr auto kGooglePop = Encode("pop.gmail.com");
inline constexpr auto kAccessTypeKey = Encode("access_type");
inline constexpr auto kAccessTypeOffline = Encode("offline");
inline constexpr auto kPromptKey = Encode("prompt");
inline constexpr auto kPromptConsent = Encode("consent");
inline constexpr auto kMicrosoftId = Encode("microsoft");
inline constexpr auto kMicrosoftName = Encode("Microsoft 365 (Exchange Online, Outlook.com)");
inline constexpr auto kMicrosoftAuthorize =
    Encode("https://login.microsoftonline.com/common/oauth2/v2.0/authorize");
inline constexpr auto kMicrosoftToken =
    Encode("https://login.microsoftonline.com/common/oauth2/v2.0/token");
inline constexpr auto kMicrosoftImapScope =
    Encode("https://outlook.office.com/IMAP.AccessAsUser.All offline_access");
inline constexpr auto kMicrosoftPopScope =
    Encode("https://outlook.office.com/POP.AccessAsUser.All offline_access");
inline constexpr auto kMicrosoftServer = Encode("outlook.office365.com");
inline constexpr auto kLocalhost = Encode("localhost");
inline constexpr auto kGenericId = Encode("generic");
inline constexpr auto kGenericName = Encode("Other provider (endpoints typed in the options)");

// The page the browser shows at the end.
inline constexpr auto kPageDone = Encode(
    "<html><head><meta charset=\"utf-8\"><title>Vellora</title></head><body "
    "style=\"font-family:sans-serif\"><h2>Vellora: signed in</h2><p>You can close this page "
    "and return to Vellora.</p></body></html>");
inline constexpr auto kPageFailedHead = Encode(
    "<html><head><meta charset=\"utf-8\"><title>Vellora</title></head><body "
    "style=\"font-family:sans-serif\"><h2>Vellora: the sign-in did not complete</h2><p>");
inline constexpr auto kPageFailedTail =
    Encode("</p><p>Return to Vellora to try again.</p></body></html>");
inline constexpr auto kPageWaiting = Encode(
    "<html><body style=\"font-family:sans-serif\"><p>Vellora is waiting for the provider's "
    "sign-in page.</p></body></html>");
inline constexpr auto kPageNotFound = Encode("<html><body>Not found</body></html>");

// Sign-in messages.
inline constexpr auto kMsgSignedIn = Encode("signed in");
inline constexpr auto kMsgIncomplete =
    Encode("the sign-in is not set up: the client id or an endpoint is missing in the options");
inline constexpr auto kMsgNoPort = Encode("cannot open a local port for the sign-in: ");
inline constexpr auto kMsgNoBrowser = Encode("the web browser could not be opened");
inline constexpr auto kMsgCancelled = Encode("the sign-in was cancelled");
inline constexpr auto kMsgTimedOut =
    Encode("the provider's page did not answer in time; the sign-in was cancelled");
inline constexpr auto kMsgWrongState = Encode(
    "the answer that reached Vellora was not for this sign-in (wrong state); "
    "nothing was changed");
inline constexpr auto kMsgProviderRefused = Encode("the provider refused the sign-in: ");
inline constexpr auto kMsgNoCode = Encode("the provider's answer holds no authorization code");
inline constexpr auto kMsgTokenFailed = Encode("the provider did not issue a token: ");
inline constexpr auto kMsgNoRefresh = Encode(
    "the provider issued no refresh token, so Vellora could not check this mailbox "
    "later (is offline access granted?)");

// Token endpoint messages.
inline constexpr auto kMsgHttpStatus = Encode("the token endpoint answered HTTP ");
inline constexpr auto kMsgUnreachable = Encode("the token endpoint could not be reached: ");
inline constexpr auto kMsgNotJson = Encode("the token endpoint's answer is not a JSON object: ");
inline constexpr auto kMsgNoAccessToken =
    Encode("the token endpoint's answer holds no access token");
inline constexpr auto kMsgNotBearer = Encode("the token endpoint issued no bearer token");
inline constexpr auto kMsgRefused = Encode("the token endpoint refused: ");
inline constexpr auto kMsgInsecure =
    Encode("the token endpoint must use https (plain http only on this computer): ");
inline constexpr auto kMsgTooLarge = Encode("the token endpoint's answer is too large");

}  // namespace vellora::oauth::texts
