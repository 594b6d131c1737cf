#include "CommandLine.h"

#include <algorithm>

namespace almanary::cli {

std::optional<CommandLine> CommandLine::parse(const std::vector<std::string>& words,
                                              const std::vector<OptionSpec>& specs,
                                              std::string& error) {
    CommandLine line;
    bool haveFile = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() > 2 && word.starts_with("--")) {
            const auto option = std::find_if(specs.begin(), specs.end(),
                                             [&](const OptionSpec& o) { return o.name == word; });
            if (option == specs.end()) {
                error = "unknown option " + word;
                return std::nullopt;
            }
            if (line.has(word)) {
                error = word + " is given twice";
                return std::nullopt;
            }
            if (i + static_cast<std::size_t>(option->values) >= words.size()) {
                error = word + " needs " + (option->values == 1 ? "a value" : "two values");
                return std::nullopt;
            }
            auto& values = line.values_[word];
            for (int v = 0; v < option->values; ++v)
                values.push_back(words[++i]);
        } else if (!haveFile) {
            line.file_ = word;
            haveFile = true;
        } else {
            error = "unexpected word " + word;
            return std::nullopt;
        }
    }
    if (!haveFile || line.file_.empty()) {
        error = "no file given";
        return std::nullopt;
    }
    return line;
}

std::optional<std::string> CommandLine::value(const std::string& option) const {
    const auto it = values_.find(option);
    if (it == values_.end() || it->second.empty())
        return std::nullopt;
    return it->second.front();
}

const std::vector<std::string>& CommandLine::values(const std::string& option) const {
    static const std::vector<std::string> none;
    const auto it = values_.find(option);
    return it == values_.end() ? none : it->second;
}

int CommandLine::countOf(const std::set<std::string>& options) const {
    return static_cast<int>(std::count_if(options.begin(), options.end(),
                                          [this](const std::string& o) { return has(o); }));
}

}  // namespace almanary::cli
