#pragma once
// A Prompter for tests: records every message shown (id, arguments, text)
// and answers questions from a script. A question that was not scripted, or
// an answer the message has no button for, fails the test; so does a
// scripted answer still unused when the prompter goes away.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/MessageTable.h"
#include "platform/Prompter.h"

namespace almanary::testing {

class FakePrompter : public Prompter {
public:
    struct Shown {
        int id = 0;
        std::vector<std::string> args;
        std::string text;  // as the user would read it
    };

    ~FakePrompter() override {
        if (!answers_.empty())
            ADD_FAILURE() << answers_.size() << " scripted answer(s) never asked for";
    }

    // The answer to the next question (a message with more than an OK
    // button); messages with only OK take no answer from the script.
    void Answer(MessageAnswer answer) { answers_.push_back(answer); }

    // Called while a message is "on screen", before it is answered, so a
    // test can look at the window's state at that moment.
    void OnShow(std::function<void(const Shown&)> hook) { onShow_ = std::move(hook); }

    MessageAnswer Show(QWidget* /*parent*/, int id,
                       const std::vector<std::string>& args = {}) override {
        shown_.push_back({id, args, MessageTable::FormatWith(id, args)});
        if (onShow_)
            onShow_(shown_.back());
        const MessageButtons buttons = MessageTable::Find(id).buttons;
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted question " << id << ": " << shown_.back().text;
            return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
        }
        const MessageAnswer answer = answers_.front();
        answers_.pop_front();
        if (!Offers(buttons, answer))
            ADD_FAILURE() << "message " << id << " has no button for the scripted answer";
        return answer;
    }

    const std::vector<Shown>& shown() const { return shown_; }

    // The ids shown, in order.
    std::vector<int> ids() const {
        std::vector<int> out;
        for (const Shown& s : shown_)
            out.push_back(s.id);
        return out;
    }

    std::size_t unusedAnswers() const { return answers_.size(); }

    // Forgets what was shown (the script stays).
    void ClearShown() { shown_.clear(); }

private:
    static bool Offers(MessageButtons buttons, MessageAnswer answer) {
        switch (buttons) {
            case MessageButtons::Ok:
                return answer == MessageAnswer::Ok;
            case MessageButtons::OkCancel:
                return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
            case MessageButtons::YesNo:
                return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
            case MessageButtons::YesNoCancel:
                return answer != MessageAnswer::Ok;
        }
        return false;
    }

    std::deque<MessageAnswer> answers_;
    std::vector<Shown> shown_;
    std::function<void(const Shown&)> onShow_;
};

}  // namespace almanary::testing
