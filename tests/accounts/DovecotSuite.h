// A private Dovecot for one test suite of the mail check, its certificate trusted by the mail
// component; started before the suite's first test and stopped after its last.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/Dovecot.h"

namespace vtest {

class DovecotSuite : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dovecot = new Dovecot();
        setenv("VELLORA_CA_FILE", dovecot->caFile().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete dovecot;
        dovecot = nullptr;
    }
    inline static Dovecot* dovecot = nullptr;
};

}  // namespace vtest
