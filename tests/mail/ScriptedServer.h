// A tiny scripted TCP server on 127.0.0.1 for tests of misbehaving mail servers: each accepted
// connection runs the test's script on the server's own thread. The destructor stops waiting
// scripts and joins the thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace vtest {

class ScriptedConnection {
  public:
    ScriptedConnection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
    void Send(const std::string& text);
    // One line without its CRLF; false when the client closed, the server stops or time ran out.
    bool ReadLine(std::string& line, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Says nothing until the client gives up (or the server stops): a stalled server.
    void Stall(std::chrono::milliseconds atMost = std::chrono::seconds(30));

  private:
    int fd_;
    const std::atomic<bool>& stopping_;
    std::string buffer_;
};

// An IMAP server with one message (UID 7) that takes any login; `after` sees every command
// after the login first and returns true when it answered it itself (setting stop hangs up).
using ImapHandler = std::function<bool(ScriptedConnection&, const std::string& tag,
                                       const std::string& command, bool& stop)>;
void ScriptedImap(ScriptedConnection& c, const ImapHandler& after);

class ScriptedServer {
  public:
    using Script = std::function<void(ScriptedConnection&)>;
    explicit ScriptedServer(Script script);
    ~ScriptedServer();
    int port() const { return port_; }
    int connections() const { return connections_; }

  private:
    void Loop();
    Script script_;
    int listenFd_ = -1, port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

}  // namespace vtest
