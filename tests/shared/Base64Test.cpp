#include <gtest/gtest.h>

#include "shared/Literal.h"
#include "shared/modBase64.h"

using namespace modBase64;

TEST(Base64, RoundTripsEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i == '!' ? 0 : i);
    const std::string encoded = sBSFe(all + "!");
    EXPECT_EQ(TrimMarker(sBSFd(encoded)), all.substr(0, all.find('\0', 1) == std::string::npos ? all.size() : all.size()));
}
