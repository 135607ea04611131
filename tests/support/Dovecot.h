// A private Dovecot 2.3 for mail tests: IMAP, IMAPS, POP3 and POP3S on free ports of 127.0.0.1,
// a self-signed certificate for "localhost" and 127.0.0.1, users with plain-text passwords
// (logins: plain, login, cram-md5, apop) and maildir mailboxes in a temporary folder. Started by
// the constructor (throws std::runtime_error when it cannot start), stopped by its process id in
// the destructor. Must run as root (mail is delivered as uid/gid 8, "mail").
//
//   vtest::Dovecot dovecot;
//   dovecot.AddUser("anna", "secret");
//   dovecot.AddMessage("anna", "From: a@example.org\r\nSubject: one\r\n\r\nHello\r\n");
//   setenv("VELLORA_CA_FILE", dovecot.caFile().c_str(), 1);   // trust its certificate
//   ... connect to 127.0.0.1 or localhost at dovecot.imapPort() ...
//
// Messages dropped into the mailbox get their UIDs, in the order they were added, when a
// session next looks at the mailbox. POP3 UIDLs are Dovecot's default (hexadecimal).
//
// With Options::oauth2IntrospectionUrl set, the server also takes OAuth2 bearer tokens (SASL
// XOAUTH2 and OAUTHBEARER, or the ones listed): its oauth2 passdb asks that address whether a
// token is live and whose it is (tests/support/OAuthServer.h), while passwords still work.
#pragma once

#include <functional>
#include <string>

#include "tests/support/TestSupport.h"

namespace vtest {

class Dovecot {
  public:
    struct Options {
        std::string oauth2IntrospectionUrl;                    // empty: passwords only
        std::string oauth2Mechanisms = "xoauth2 oauthbearer";  // the ones the server lists
    };
    Dovecot();
    explicit Dovecot(const Options& options);
    ~Dovecot();
    Dovecot(const Dovecot&) = delete;
    Dovecot& operator=(const Dovecot&) = delete;

    // Adds a user; takes effect at once (a changed password may take a second).
    void AddUser(const std::string& user, const std::string& password);
    // Drops a raw message into the user's mailbox (maildir new/); returns its file path.
    std::string AddMessage(const std::string& user, const std::string& raw);
    // Drops make(1) .. make(count) at once, in that order: for large mailboxes.
    void AddMessages(const std::string& user, int count,
                     const std::function<std::string(int)>& make);
    // Lets the server take up the dropped messages now (index and UIDs), as its own delivery
    // agent would at delivery time, so that the next session finds them indexed.
    void Index(const std::string& user);
    // Deletes every message of the user's mailbox through the server, as another mail client
    // that empties the mailbox would.
    void Expunge(const std::string& user);
    // Messages in the user's mailbox as files (new/ and cur/), without asking the server.
    int MessageFiles(const std::string& user) const;

    int imapPort() const { return imapPort_; }
    int imapsPort() const { return imapsPort_; }
    int pop3Port() const { return pop3Port_; }
    int pop3sPort() const { return pop3sPort_; }
    const std::string& caFile() const { return caFile_; }  // the certificate to trust
    const std::string& folder() const { return dir_.path(); }
    std::string log() const;  // Dovecot's log so far, for failure messages

  private:
    std::string MailDir(const std::string& user) const;
    static std::string Deliver(const std::string& box, int sequence, const std::string& raw);
    void WriteConfig() const;
    std::string OAuth2Passdb() const;
    void MakeCertificate();

    TempDir dir_;
    Options options_;
    Process process_;
    int imapPort_ = 0, imapsPort_ = 0, pop3Port_ = 0, pop3sPort_ = 0;
    std::string caFile_;
    int sequence_ = 0;
};

}  // namespace vtest
