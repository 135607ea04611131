// One connection to the CUPS server the environment names, with a time-out on every request
// so that a stuck server cannot hang a program. Internal to vellora_print.
#pragma once

#include <cups/cups.h>

namespace vellora::print::detail {

inline constexpr int kConnectMs = 10000;       // to connect
inline constexpr double kRequestSeconds = 30;  // per request once connected

class CupsConnection {
  public:
    CupsConnection();
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;
    http_t* get() const { return http_; }  // nullptr when the server cannot be reached

  private:
    http_t* http_ = nullptr;
};

// The destinations of the server, freed on destruction.
class DestList {
  public:
    explicit DestList(http_t* http);
    ~DestList();
    DestList(const DestList&) = delete;
    DestList& operator=(const DestList&) = delete;
    cups_dest_t* begin() const { return dests_; }
    cups_dest_t* end() const { return dests_ + count_; }
    cups_dest_t* data() const { return dests_; }
    int size() const { return count_; }

  private:
    cups_dest_t* dests_ = nullptr;
    int count_ = 0;
};

}  // namespace vellora::print::detail
