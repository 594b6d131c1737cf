#include "app/MessageTable.h"

#include <algorithm>
#include <iterator>

namespace almanary::MessageTable {
namespace {

#define MESSAGE(id, icon, buttons, text) \
    Message{id, MessageIcon::icon, MessageButtons::buttons, text},
constexpr Message kMessages[] = {
#include "messages.def"
};
#undef MESSAGE

}  // namespace

const Message& find(int id) {
    const auto* found = std::find_if(std::begin(kMessages), std::end(kMessages),
                                     [id](const Message& m) { return m.id == id; });
    if (found != std::end(kMessages))
        return *found;
    static const Message unknown{0, MessageIcon::Stop, MessageButtons::Ok, "Unknown message."};
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

std::string fill(std::string_view text, std::initializer_list<std::string_view> args) {
    return fill(text, std::span<const std::string_view>(args.begin(), args.size()));
}

std::string format(int id, std::initializer_list<std::string_view> args) {
    return fill(find(id).text, args);
}

std::string formatWith(int id, const std::vector<std::string>& args) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    return fill(find(id).text, std::span<const std::string_view>(views));
}

}  // namespace almanary::MessageTable
