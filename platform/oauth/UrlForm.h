// Query strings and form bodies (application/x-www-form-urlencoded) of the sign-in.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellora::oauth {

using FormFields = std::vector<std::pair<std::string, std::string>>;

// name=value pairs joined by "&", every byte outside the unreserved set percent-encoded.
std::string EncodeForm(const FormFields& fields);

// The pairs of a query string ("a=1&b=x%20y", "+" for a blank). Malformed escapes are kept
// as they stand; the first of a repeated name wins.
std::map<std::string, std::string> DecodeQuery(std::string_view query);

// The address with the fields appended as its query ("?" or "&" as the address needs).
std::string WithQuery(const std::string& address, const FormFields& fields);

}  // namespace vellora::oauth
