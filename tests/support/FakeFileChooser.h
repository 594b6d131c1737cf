#pragma once
// A FileChooser for tests: answers from a script (a path, or nothing for
// Cancel) and records every request. A request with no scripted answer
// fails the test and cancels. While it "is open" (inside a request) IsOpen
// is true, so a test can check what a second request does meanwhile.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
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

    void Choose(const std::string& path) { answers_.emplace_back(path); }
    void Cancel() { answers_.emplace_back(std::nullopt); }

    // Runs while the chooser is open, before it answers.
    void WhileOpen(std::function<void()> hook) { whileOpen_ = std::move(hook); }

    std::optional<std::string> ChooseToOpen(QWidget* /*parent*/, FileKind kind,
                                            const std::string& start) override {
        return Ask({false, kind, start});
    }

    std::optional<std::string> ChooseToSave(QWidget* /*parent*/, FileKind kind,
                                            const std::string& start) override {
        return Ask({true, kind, start});
    }

    bool IsOpen() const override { return open_; }
    void Raise() override { ++raised_; }

    const std::vector<Request>& requests() const { return requests_; }
    int raised() const { return raised_; }

    // Lets a test stand for a chooser that is on screen.
    void SetOpen(bool open) { open_ = open; }

private:
    std::optional<std::string> Ask(const Request& request) {
        requests_.push_back(request);
        open_ = true;
        if (whileOpen_)
            whileOpen_();
        open_ = false;
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
    std::function<void()> whileOpen_;
    bool open_ = false;
    int raised_ = 0;
};

}  // namespace almanary::testing
