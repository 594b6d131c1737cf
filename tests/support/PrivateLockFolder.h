#pragma once
// Including this keeps a test program's locks (and its children's) in a fresh XDG_RUNTIME_DIR.

#include <gtest/gtest.h>

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

inline ::testing::Environment* const kPrivateLockFolder =
    ::testing::AddGlobalTestEnvironment(new PrivateLockFolder);

}  // namespace almanary::testing
