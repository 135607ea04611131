// cpp-httplib behind the gate: the services keep their handlers, routes, error and log
// handlers on an httplib::Server, but httplib never reads a socket. It gets each request
// only once the gate has read and checked it whole, from memory, and writes the answer
// into memory, which the gate then sends.
#pragma once

#include <httplib.h>

#include <string>

#include "services/common/Gate.h"

namespace vellora::service {

class GatedServer : public httplib::Server {
  public:
    // The whole answer to one request (the connection is closed after it).
    std::string Serve(ParsedRequest&& request, const Peer& peer);
};

}  // namespace vellora::service
