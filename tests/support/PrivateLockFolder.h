#pragma once
// Points XDG_RUNTIME_DIR at a fresh folder for a whole test program, so the
// locks its tests (and the programs they start) take stay out of the user's.
// Including this header registers it once for the program.

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
