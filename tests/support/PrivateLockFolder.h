#pragma once
// A test program environment that points XDG_RUNTIME_DIR at a fresh
// temporary folder for the whole run, so the almanary locks its tests take
// (and those of the programs they start) stay out of the user's own folder.
// Register it once per test program:
//   ::testing::AddGlobalTestEnvironment(new PrivateLockFolder);

#include <gtest/gtest.h>

#include <optional>

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

namespace almanary::testing {

class PrivateLockFolder : public ::testing::Environment {
public:
    void SetUp() override {
        dir_.emplace();
        environment_.emplace("XDG_RUNTIME_DIR", dir_->path().c_str());
    }
    void TearDown() override {
        environment_.reset();
        dir_.reset();
    }

private:
    std::optional<TempDir> dir_;
    std::optional<ScopedEnvironment> environment_;
};

}  // namespace almanary::testing
