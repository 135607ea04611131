// A private loopback for a test process, so a test may listen on the mail protocols'
// well-known ports without meeting anything else on this machine, and a small TCP relay
// from such a port to a server listening elsewhere on 127.0.0.1.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace vtest {

// Moves the calling thread (and every process it starts later) into a network namespace of
// its own with the loopback interface up. Call it first in main, before any thread starts.
// Returns an error text, empty on success.
std::string EnterPrivateNetwork();

// Accepts on 127.0.0.1:listenPort and relays every connection to 127.0.0.1:targetPort.
class TcpRelay {
  public:
    TcpRelay(int listenPort, int targetPort);
    ~TcpRelay();
    TcpRelay(const TcpRelay&) = delete;
    TcpRelay& operator=(const TcpRelay&) = delete;

  private:
    void AcceptLoop();
    void Pipe(int from, int to);

    int listenFd_ = -1;
    int targetPort_;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
    std::vector<std::thread> pipes_;
};

}  // namespace vtest
