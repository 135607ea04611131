// One private cupsd for a whole test program. libcups keeps the first server it talks to for
// the life of the process, so a program that prints (or runs helpers that print) starts one
// server for all its tests:
//     vtest::Cups* gCups = nullptr;
//     const auto* const kEnv = ::testing::AddGlobalTestEnvironment(
//         new vtest::CupsEnvironment(gCups, [](vtest::Cups& c) { c.AddPrinter("Paper"); }));
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "tests/support/Cups.h"

namespace vtest {

class CupsEnvironment : public ::testing::Environment {
  public:
    CupsEnvironment(Cups*& global, std::function<void(Cups&)> prepare)
        : global_(global), prepare_(std::move(prepare)) {}
    void SetUp() override {
        cups_ = std::make_unique<Cups>();
        if (prepare_) prepare_(*cups_);
        global_ = cups_.get();
    }
    void TearDown() override {
        global_ = nullptr;
        cups_.reset();
    }

  private:
    Cups*& global_;
    std::function<void(Cups&)> prepare_;
    std::unique_ptr<Cups> cups_;
};

}  // namespace vtest
