#pragma once
// Prompter on QMessageBox: the message table's icon, buttons and text,
// under the program's title.

#include "platform/Prompter.h"

namespace almanary {

class QtPrompter : public Prompter {
public:
    using Prompter::show;
    MessageAnswer show(QWidget* parent, MessageId id,
                       const std::vector<std::string>& args = {}) override;
};

}  // namespace almanary
