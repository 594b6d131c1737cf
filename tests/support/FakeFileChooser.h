#pragma once
// A FileChooser answering from a script (a path, or nothing for Cancel) and
// noting each request ("open" or "save"). A request beyond the script, or an
// answer never asked for, fails the test.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileChooser.h"

namespace almanary::testing {

class FakeFileChooser : public FileChooser {
public:
    ~FakeFileChooser() override { EXPECT_TRUE(answers_.empty()) << "file choices never asked for"; }

    void choose(const std::string& path) { answers_.emplace_back(path); }

    std::optional<std::string> chooseToOpen(QWidget*, FileKind, const std::string&) override {
        return ask("open");
    }
    std::optional<std::string> chooseToSave(QWidget*, FileKind, const std::string&) override {
        return ask("save");
    }
    bool isOpen() const override { return false; }
    void raise() override {}

    std::vector<std::string> requests;

private:
    std::optional<std::string> ask(const char* kind) {
        requests.emplace_back(kind);
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted file chooser (" << kind << ")";
            return std::nullopt;
        }
        std::optional<std::string> answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::deque<std::optional<std::string>> answers_;
};

}  // namespace almanary::testing
