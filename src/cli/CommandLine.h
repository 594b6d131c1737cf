#pragma once
// The words of one almanary-cli call: the command, its file, and the
// options that follow, each checked against what the command accepts.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace almanary::cli {

// How many values an option takes.
struct OptionSpec {
    std::string name;  // with the leading "--"
    int values = 1;
};

class CommandLine {
public:
    // Parses the words after the command name. Returns nothing and sets
    // `error` when an option is unknown, repeated or lacks its values, or
    // when the file is missing or extra words follow.
    static std::optional<CommandLine> parse(const std::vector<std::string>& words,
                                            const std::vector<OptionSpec>& specs,
                                            std::string& error);

    const std::string& file() const { return file_; }
    bool has(const std::string& option) const { return values_.count(option) != 0; }
    // The first value of an option, or nothing when it was not given.
    std::optional<std::string> value(const std::string& option) const;
    const std::vector<std::string>& values(const std::string& option) const;
    // How many of the given options were used.
    int countOf(const std::set<std::string>& options) const;

private:
    std::string file_;
    std::map<std::string, std::vector<std::string>> values_;
};

}  // namespace almanary::cli
