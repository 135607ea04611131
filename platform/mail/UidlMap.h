// Local decimal ids for POP3 messages. A POP3 server names its messages with free-form UIDL
// strings, while the mail check compares decimal ids that grow with the index. The map gives
// every UIDL, the first time it is seen, an id above every id the account ever had, and keeps
// it in a small file so that the ids stay the same in later sessions, also when other clients
// delete older messages. One file holds all accounts; each is keyed by its mailbox: server,
// user and protocol. The port is not part of it: the same mailbox over TLS on another port
// keeps its ids, as the stored last id of the account stays.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vellora::mail {

struct Mailbox {
    std::string server;
    std::string user;
    std::string protocol;  // "pop3"
};

class UidlMap {
  public:
    explicit UidlMap(std::string filePath) : path_(std::move(filePath)) {}

    // The map file's usual place: the installation folder.
    static std::string DefaultPath();
    static std::string AccountKey(const Mailbox& mailbox);

    // The ids of a mailbox listing (UIDLs in index order), in the same order. New UIDLs get new
    // ids; UIDLs no longer in the mailbox are forgotten. The file is rewritten only on change.
    // A mailbox the file knows only under an earlier key (server, port and user) takes that
    // entry over. Returns an empty vector when the file cannot be written: an id that is not
    // kept would change in the next session and could make a message print twice.
    std::vector<std::uint32_t> Assign(const Mailbox& mailbox,
                                      const std::vector<std::string>& uidls);

  private:
    struct Account {
        std::uint32_t next = 1;
        std::map<std::string, std::uint32_t> ids;
    };
    using Table = std::map<std::string, Account>;
    Table Load() const;
    bool Save(const Table& table) const;
    static bool AdoptEarlierKey(Table& table, const Mailbox& mailbox, const std::string& key);

    std::string path_;
};

}  // namespace vellora::mail
