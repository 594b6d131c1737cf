#pragma once
// A FileChooser for tests: answers from a script (a path, or nothing for
// Cancel) and records every request. A request with no scripted answer
// fails the test and cancels.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileChooser.h"

namespace almanary::testing {

class FakeFileChooser : public FileChooser {
public:
    struct Request {
        bool toSave = false;
        FileKind kind = FileKind::Almanary;
        std::string start;
    };

    ~FakeFileChooser() override {
        if (!answers_.empty())
            ADD_FAILURE() << answers_.size() << " scripted file choice(s) never asked for";
    }

    void choose(const std::string& path) { answers_.emplace_back(path); }
    void cancel() { answers_.emplace_back(std::nullopt); }

    std::optional<std::string> chooseToOpen(QWidget* /*parent*/, FileKind kind,
                                            const std::string& start) override {
        return ask({false, kind, start});
    }

    std::optional<std::string> chooseToSave(QWidget* /*parent*/, FileKind kind,
                                            const std::string& start) override {
        return ask({true, kind, start});
    }

    bool isOpen() const override { return false; }
    void raise() override {}

    const std::vector<Request>& requests() const { return requests_; }

private:
    std::optional<std::string> ask(const Request& request) {
        requests_.push_back(request);
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted file chooser (" << (request.toSave ? "save" : "open")
                          << ")";
            return std::nullopt;
        }
        std::optional<std::string> answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::deque<std::optional<std::string>> answers_;
    std::vector<Request> requests_;
};

}  // namespace almanary::testing
