#pragma once
// A Prompter noting every message shown (id and arguments) and answering
// questions from a script. A question beyond the script, or an answer never
// asked for, fails the test.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/MessageTable.h"
#include "platform/Prompter.h"

namespace almanary::testing {

using Ids = std::vector<MessageId>;

class FakePrompter : public Prompter {
public:
    struct Shown {
        MessageId id{};
        std::vector<std::string> args;
    };

    ~FakePrompter() override { EXPECT_TRUE(answers_.empty()) << "answers never asked for"; }

    // The answer to the next message with more than an OK button.
    void answer(MessageAnswer answer) { answers_.push_back(answer); }

    using Prompter::show;
    MessageAnswer show(QWidget*, MessageId id, const std::vector<std::string>& args) override {
        shown_.push_back({id, args});
        if (MessageTable::find(id).buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted question: " << MessageTable::format(Notice{id, args});
            return MessageAnswer::Cancel;
        }
        const MessageAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    const std::vector<Shown>& shown() const { return shown_; }
    Ids ids() const {
        Ids out;
        for (const Shown& s : shown_)
            out.push_back(s.id);
        return out;
    }
    void clearShown() { shown_.clear(); }

private:
    std::deque<MessageAnswer> answers_;
    std::vector<Shown> shown_;
};

}  // namespace almanary::testing

namespace almanary {
// Failures name a message by its number.
inline void PrintTo(MessageId id, std::ostream* out) {
    *out << static_cast<int>(id);
}
}  // namespace almanary
