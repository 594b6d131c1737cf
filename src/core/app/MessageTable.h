#pragma once
// The program's messages by id, with their icon and buttons. Every window
// and the command-line program take their texts from here; one list
// (resources/messages.def) makes both the ids and the texts.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace almanary {

enum class MessageIcon { None, Information, Exclamation, Question, Stop };
// ReplaceSaveAsCancel answers Yes for Replace and No for Save As.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, ReplaceSaveAsCancel };

enum class MessageId : int {
#define MESSAGE(name, id, icon, buttons, text) name = id,
#include "messages.def"
#undef MESSAGE
};

struct Message {
    MessageId id;
    MessageIcon icon;
    MessageButtons buttons;
    const char* text;
};

// A message to show, with what fills its "%1", "%2", in order.
struct Notice {
    MessageId id;
    std::vector<std::string> args;
};

namespace MessageTable {

// The message with that id.
const Message& find(MessageId id);

// Every message, in the order of the list.
std::span<const Message> all();

// The text of a message with "%1", "%2", ... replaced by the arguments.
std::string format(MessageId id, std::initializer_list<std::string_view> args = {});
std::string format(const Notice& notice);

// Replaces "%1", "%2", ... in any text. A number without an argument stays
// as it is.
std::string fill(std::string_view text, std::span<const std::string_view> args);

}  // namespace MessageTable
}  // namespace almanary
