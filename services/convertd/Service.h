// The HTTP side of the conversion service: the upload, the result files, the sweeper.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <semaphore>
#include <thread>

#include "services/common/Gate.h"
#include "services/common/HttplibBridge.h"
#include "services/convertd/Options.h"

namespace vellora::convertd {

class Service {
  public:
    explicit Service(const Options& options);
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // Binds and serves until the server is stopped (by a signal). False when it cannot bind.
    bool Run();

  private:
    void HandleConvert(const httplib::Request& req, httplib::Response& res);
    void HandleResult(const httplib::Request& req, httplib::Response& res);
    void Sweep();

    Options options_;
    service::GatedServer server_;
    service::Gate gate_;
    std::counting_semaphore<64> slots_;
    std::mutex sweepMutex_;
    std::condition_variable sweepWake_;
    bool stopping_ = false;
    std::thread sweeper_;
};

}  // namespace vellora::convertd
