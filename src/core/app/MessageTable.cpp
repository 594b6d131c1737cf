#include "app/MessageTable.h"

#include <algorithm>

namespace almanary::MessageTable {
namespace {

constexpr Message kMessages[] = {
#define MESSAGE(name, id, icon, buttons, text) \
    Message{MessageId::name, MessageIcon::icon, MessageButtons::buttons, text},
#include "messages.def"
#undef MESSAGE
};

}  // namespace

const Message& find(MessageId id) {
    const auto* found = std::ranges::find(kMessages, id, &Message::id);
    if (found != std::end(kMessages))
        return *found;
    // Only an id made from a number outside the list gets here.
    static const Message unknown{id, MessageIcon::Stop, MessageButtons::Ok, "Unknown message."};
    return unknown;
}

std::span<const Message> all() {
    return kMessages;
}

std::string fill(std::string_view text, std::span<const std::string_view> args) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && next >= '1' && next <= '9') {
            const auto index = static_cast<std::size_t>(next - '1');
            if (index < args.size()) {
                out += args[index];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string format(MessageId id, std::initializer_list<std::string_view> args) {
    return fill(find(id).text, std::span<const std::string_view>(args.begin(), args.size()));
}

std::string format(const Notice& notice) {
    const std::vector<std::string_view> views(notice.args.begin(), notice.args.end());
    return fill(find(notice.id).text, views);
}

}  // namespace almanary::MessageTable
