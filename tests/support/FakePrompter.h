#pragma once
// A Prompter for tests: records every message shown (id, arguments, text)
// and answers questions from a script. A question that was not scripted, or
// an answer the message has no button for, fails the test; so does a
// scripted answer still unused when the prompter goes away.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/MessageTable.h"
#include "platform/Prompter.h"

namespace almanary::testing {

// Message ids, in the order shown.
using Ids = std::vector<MessageId>;

class FakePrompter : public Prompter {
public:
    struct Shown {
        MessageId id{};
        std::vector<std::string> args;
        std::string text;  // as the user would read it
    };

    ~FakePrompter() override {
        if (!answers_.empty())
            ADD_FAILURE() << answers_.size() << " scripted answer(s) never asked for";
    }

    // The answer to the next question (a message with more than an OK
    // button); messages with only OK take no answer from the script.
    void answer(MessageAnswer answer) { answers_.push_back(answer); }

    using Prompter::show;
    MessageAnswer show(QWidget* /*parent*/, MessageId id,
                       const std::vector<std::string>& args = {}) override {
        shown_.push_back({id, args, MessageTable::format(Notice{id, args})});
        const MessageButtons buttons = MessageTable::find(id).buttons;
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted question " << static_cast<int>(id) << ": "
                          << shown_.back().text;
            return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
        }
        const MessageAnswer answer = answers_.front();
        answers_.pop_front();
        if (!offers(buttons, answer))
            ADD_FAILURE() << "message " << static_cast<int>(id)
                          << " has no button for the scripted answer";
        return answer;
    }

    const std::vector<Shown>& shown() const { return shown_; }

    // The ids shown, in order.
    Ids ids() const {
        Ids out;
        for (const Shown& s : shown_)
            out.push_back(s.id);
        return out;
    }

    // Forgets what was shown (the script stays).
    void clearShown() { shown_.clear(); }

private:
    static bool offers(MessageButtons buttons, MessageAnswer answer) {
        const bool yesNo = answer == MessageAnswer::Yes || answer == MessageAnswer::No;
        if (buttons == MessageButtons::YesNo)
            return yesNo;
        if (buttons == MessageButtons::YesNoCancel || buttons == MessageButtons::ReplaceSaveAsCancel)
            return yesNo || answer == MessageAnswer::Cancel;
        return answer == MessageAnswer::Ok ||
               (buttons == MessageButtons::OkCancel && answer == MessageAnswer::Cancel);
    }

    std::deque<MessageAnswer> answers_;
    std::vector<Shown> shown_;
};

}  // namespace almanary::testing

namespace almanary {
// Failures show a message by its number.
inline void PrintTo(MessageId id, std::ostream* out) {
    *out << static_cast<int>(id);
}
}  // namespace almanary
