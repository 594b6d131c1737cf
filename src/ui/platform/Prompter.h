#pragma once
// Shows the program's messages (by id, from the message table) and returns
// the button pressed. Windows get one at construction; tests give a
// scripted one, so no message box ever blocks a test.

#include <string>
#include <vector>

#include "app/MessageTable.h"

class QWidget;

namespace almanary {

enum class MessageAnswer { Ok, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows message `id` with "%1", "%2", ... replaced by `args`, with the
    // icon and buttons the table gives it, over `parent`.
    virtual MessageAnswer show(QWidget* parent, MessageId id,
                               const std::vector<std::string>& args = {}) = 0;
    MessageAnswer show(QWidget* parent, const Notice& notice) {
        return show(parent, notice.id, notice.args);
    }
};

}  // namespace almanary
