// Where the programs look for the two services: environment, then settings file, then the
// built-in loopback default.
#include <gtest/gtest.h>

#include <cstdlib>

#include "shared/AppFolder.h"
#include "shared/ServiceAddress.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

namespace {
namespace t = vellora::texts;

class ServiceAddress : public ::testing::Test {
  protected:
    ServiceAddress() {
        vellora::SetAppFolderForTesting(dir_.path());
        ::unsetenv("VELLORA_NOTIFY_URL");
        ::unsetenv("VELLORA_CONVERT_URL");
    }
    ~ServiceAddress() override {
        ::unsetenv("VELLORA_NOTIFY_URL");
        ::unsetenv("VELLORA_CONVERT_URL");
        vellora::SetAppFolderForTesting("");
    }
    void Store(const std::string& key, const std::string& value) {
        basINI_IO::WriteSettingText(value, basINI_IO::SettingsPath(), "Services", key);
    }
    vtest::TempDir dir_;
};

TEST_F(ServiceAddress, DefaultsAreOnLoopback) {
    EXPECT_EQ(vellora::NotifyServiceUrl(), "http://127.0.0.1:8631");
    EXPECT_EQ(vellora::ConvertServiceUrl(), "http://127.0.0.1:8632");
}

TEST_F(ServiceAddress, SettingsFileThenEnvironmentOverride) {
    Store("NotifyUrl", "https://notify.example.test/base/");
    Store("ConvertUrl", "http://convert.example.test:9000");
    EXPECT_EQ(vellora::NotifyServiceUrl(), "https://notify.example.test/base");
    EXPECT_EQ(vellora::ConvertServiceUrl(), "http://convert.example.test:9000");
    ::setenv("VELLORA_NOTIFY_URL", "http://notify.example.test:1/", 1);
    ::setenv("VELLORA_CONVERT_URL", "http://convert.example.test:2", 1);
    EXPECT_EQ(vellora::NotifyServiceUrl(), "http://notify.example.test:1");
    EXPECT_EQ(vellora::ConvertServiceUrl(), "http://convert.example.test:2");
    ::setenv("VELLORA_CONVERT_URL", "", 1);  // empty counts as not set
    EXPECT_EQ(vellora::ConvertServiceUrl(), "http://convert.example.test:9000");
}

TEST_F(ServiceAddress, AnEmptyStoredValueKeepsTheDefault) {
    Store("NotifyUrl", "");
    EXPECT_EQ(vellora::NotifyServiceUrl(), "http://127.0.0.1:8631");
    EXPECT_EQ(t::kServicesSection.str(), "Services");
}

}  // namespace
