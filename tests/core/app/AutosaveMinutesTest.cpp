#include "app/AutosaveMinutes.h"

#include <gtest/gtest.h>

#include <tuple>

namespace almanary {
namespace {

// A whole number between blanks; out of 1 to 60 it is read (a change shows) but refused.
TEST(AutosaveMinutesTest, AWholeNumberFrom1To60IsTaken) {
    using Number = std::optional<std::int32_t>;
    const std::optional<MessageId> integer = MessageId::EnterInteger;
    const std::optional<MessageId> between = MessageId::EnterIntegerBetween;
    const std::tuple<const char*, Number, std::optional<MessageId>> cases[] = {
        {"1", 1, std::nullopt},       {" \t60 ", 60, std::nullopt},
        {"+7", 7, std::nullopt},      {"0", 0, between},
        {"61", 61, between},          {"-5", -5, between},
        {"99999999999", {}, between}, {"", {}, integer},
        {"1 0", {}, integer},         {"+-1", {}, integer},
    };
    for (const auto& [text, number, problem] : cases) {
        const AutosaveMinutes::Reading reading = AutosaveMinutes::read(text);
        EXPECT_EQ(reading.number, number) << text;
        EXPECT_EQ(reading.problem ? std::optional(reading.problem->id) : std::nullopt, problem)
            << text;
        if (problem == between) {
            EXPECT_EQ(reading.problem->args, (std::vector<std::string>{"1", "60"})) << text;
        }
    }
}

}  // namespace
}  // namespace almanary
