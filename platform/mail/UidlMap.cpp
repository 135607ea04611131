#include "platform/mail/UidlMap.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "shared/AppFolder.h"
#include "shared/Literal.h"
#include "shared/PrivateFiles.h"

namespace vellora::mail {
namespace {

// Keys and UIDLs are written as single words: every byte outside the printable range, blanks
// and '%' (and `also`) are percent-encoded.
std::string Escape(const std::string& s, char also = '%') {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (c <= 0x20 || c >= 0x7F || c == '%' || c == static_cast<unsigned char>(also)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A key is made of parts joined by ':', so a ':' inside a part is escaped too.
std::string KeyPart(const std::string& s) {
    return Escape(s, ':');
}

bool IsEarlierKeyOf(const std::string& key, const Mailbox& mailbox) {
    const std::string head = Escape(Lower(mailbox.server)) + ':', tail = ':' + Escape(mailbox.user);
    if (key.size() <= head.size() + tail.size() || key.compare(0, head.size(), head) != 0 ||
        key.compare(key.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string port = key.substr(head.size(), key.size() - head.size() - tail.size());
    return port.size() <= 5 && std::all_of(port.begin(), port.end(),
                                           [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Holds an exclusive lock on a side file for the time of one read-change-write.
class FileLock {
  public:
    explicit FileLock(const std::string& path)
        : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ >= 0) flock(fd_, LOCK_EX);
    }
    ~FileLock() {
        if (fd_ >= 0) close(fd_);
    }

  private:
    int fd_;
};

}  // namespace

std::string UidlMap::DefaultPath() {
    return JoinPath(AppFolder(), VL("vellora-pop3ids.dat"));
}

std::string UidlMap::AccountKey(const Mailbox& mailbox) {
    // Host names do not care about case; a user who retypes one must keep the account's ids.
    return KeyPart(Lower(mailbox.server)) + ':' + KeyPart(Lower(mailbox.protocol)) + ':' +
           KeyPart(mailbox.user);
}

// Earlier versions keyed a mailbox by server, port and user ("host:110:user", with ':' not
// escaped). Of several ports used over time, the entry that gave out the most ids is taken:
// none of the ids the account may have stored is then ever given again.
bool UidlMap::AdoptEarlierKey(Table& table, const Mailbox& mailbox, const std::string& key) {
    if (table.count(key) != 0 || Lower(mailbox.protocol) != VL("pop3")) return false;
    const auto earlier = [&](const std::string& k) { return IsEarlierKeyOf(k, mailbox); };
    auto best = table.end();
    for (auto it = table.begin(); it != table.end(); ++it) {
        if (earlier(it->first) && (best == table.end() || it->second.next > best->second.next))
            best = it;
    }
    if (best == table.end()) return false;
    Account taken = std::move(best->second);
    std::erase_if(table, [&](const auto& entry) { return earlier(entry.first); });
    table[key] = std::move(taken);
    return true;
}

UidlMap::Table UidlMap::Load() const {
    Table table;
    std::ifstream in(path_);
    std::string line;
    Account* current = nullptr;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first, second;
        if (!(words >> first >> second)) continue;
        if (first == VL("@")) {
            std::uint32_t next = 0;
            if (!(words >> next)) continue;
            current = &table[second];
            current->next = next < 1 ? 1 : next;
        } else if (current) {
            char* end = nullptr;
            const unsigned long id = std::strtoul(second.c_str(), &end, 10);
            if (*end || id == 0 || id > 0xFFFFFFFEul) continue;
            current->ids[first] = static_cast<std::uint32_t>(id);
            if (id >= current->next) current->next = static_cast<std::uint32_t>(id + 1);
        }
    }
    return table;
}

bool UidlMap::Save(const Table& table) const {
    const std::string temp = path_ + VL(".new");
    std::ostringstream out;
    for (const auto& [key, account] : table) {
        out << VL("@") << ' ' << key << ' ' << account.next << '\n';
        for (const auto& [uidl, id] : account.ids) out << uidl << ' ' << id << '\n';
    }
    // It lists the account's mailbox: for its owner only, like the settings file.
    if (!WritePrivateFile(temp, out.str())) return false;
    if (const int fd = open(temp.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
        fsync(fd);
        close(fd);
    }
    return std::rename(temp.c_str(), path_.c_str()) == 0;
}

std::vector<std::uint32_t> UidlMap::Assign(const Mailbox& mailbox,
                                           const std::vector<std::string>& uidls) {
    FileLock lock(path_ + VL(".lock"));
    Table table = Load();
    const std::string key = AccountKey(mailbox);
    bool changed = AdoptEarlierKey(table, mailbox, key);
    Account& acct = table[key];
    std::map<std::string, std::uint32_t> kept;
    std::vector<std::uint32_t> ids;
    ids.reserve(uidls.size());
    for (const auto& raw : uidls) {
        const std::string uidl = Escape(raw);
        std::uint32_t id = 0;
        if (auto k = kept.find(uidl); k != kept.end()) {
            id = k->second;
        } else if (auto it = acct.ids.find(uidl); it != acct.ids.end()) {
            id = it->second;
        } else {
            id = acct.next++;
            changed = true;
        }
        kept[uidl] = id;
        ids.push_back(id);
    }
    if (kept.size() != acct.ids.size()) changed = true;
    acct.ids = std::move(kept);
    if (changed && !Save(table)) return {};
    return ids;
}

}  // namespace vellora::mail
