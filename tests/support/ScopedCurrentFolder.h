#pragma once
// Makes a folder the current one while the object lives.

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

namespace almanary::testing {

class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentFolder() {
        std::error_code error;
        std::filesystem::current_path(previous_, error);
        EXPECT_FALSE(error) << previous_;
    }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace almanary::testing
