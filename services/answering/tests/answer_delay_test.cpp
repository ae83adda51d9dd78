// The answer delay: the caller's own answer time, or the setting's position in the delay list.
#include <gtest/gtest.h>

#include "ansley.h"

namespace {

AnsweringSettings Settings(DWORD activeTime, DWORD greetingFound = 0, LONG answerTime = 0) {
    AnsweringSettings settings{};
    settings.ActiveTime = activeTime;
    settings.greetingFound = greetingFound;
    settings.callerAnswerTime = answerTime;
    return settings;
}

TEST(AnswerDelayTest, ListPositionsGiveTenFifteenTwentySeconds) {
    EXPECT_EQ(10'000u, AnswerDelayMs(Settings(0)));
    EXPECT_EQ(15'000u, AnswerDelayMs(Settings(1)));
    EXPECT_EQ(20'000u, AnswerDelayMs(Settings(2)));
}

TEST(AnswerDelayTest, PositionsOutsideTheListCountAsTheFirst) {
    EXPECT_EQ(10'000u, AnswerDelayMs(Settings(3)));
    EXPECT_EQ(10'000u, AnswerDelayMs(Settings(0xFFFFFFFF)));  // "no selection" in the panel
}

TEST(AnswerDelayTest, CallerGreetingUsesItsOwnAnswerTime) {
    EXPECT_EQ(15'000u, AnswerDelayMs(Settings(2, 1, 15)));
    EXPECT_EQ(0u, AnswerDelayMs(Settings(2, 1, 0)));
    EXPECT_EQ(0u, AnswerDelayMs(Settings(2, 1, -5)));
}

}  // namespace
