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

const Message& Find(int id) {
    const auto* found = std::find_if(std::begin(kMessages), std::end(kMessages),
                                     [id](const Message& m) { return m.id == id; });
    if (found != std::end(kMessages))
        return *found;
    static const Message unknown{0, MessageIcon::Stop, MessageButtons::Ok, "Unknown message."};
    return unknown;
}

std::span<const Message> All() {
    return kMessages;
}

std::string Fill(std::string_view text, std::span<const std::string_view> args) {
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

std::string Fill(std::string_view text, std::initializer_list<std::string_view> args) {
    return Fill(text, std::span<const std::string_view>(args.begin(), args.size()));
}

std::string Format(int id, std::initializer_list<std::string_view> args) {
    return Fill(Find(id).text, args);
}

std::string FormatWith(int id, const std::vector<std::string>& args) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    return Fill(Find(id).text, std::span<const std::string_view>(views));
}

}  // namespace almanary::MessageTable
