// Notification conditions: every comparison, masks, strings without regard to case, and the
// cases where the target and the value are of different kinds.
#include <gtest/gtest.h>

#include <cstring>

#include <winreg.h>

#include "shell/registry_condition.h"

namespace tovarin::shell {
namespace {

using kernel::registry::RegValue;

RegValue Number(DWORD value) {
    RegValue result{L"Status", REG_DWORD, std::vector<uint8_t>(4)};
    std::memcpy(result.data.data(), &value, 4);
    return result;
}

RegValue Text(const std::wstring& text) {
    RegValue result{L"Number", REG_SZ, std::vector<uint8_t>((text.size() + 1) * sizeof(wchar_t))};
    std::memcpy(result.data.data(), text.c_str(), result.data.size());
    return result;
}

NOTIFICATIONCONDITION OnNumber(REG_COMPARISONTYPE comparison, DWORD mask, DWORD target) {
    NOTIFICATIONCONDITION condition{};
    condition.ctComparisonType = comparison;
    condition.dwMask = mask;
    condition.TargetValue.dw = target;
    return condition;
}

NOTIFICATIONCONDITION OnText(REG_COMPARISONTYPE comparison, const wchar_t* target) {
    NOTIFICATIONCONDITION condition{};
    condition.ctComparisonType = comparison;
    condition.dwMask = 0;
    condition.TargetValue.psz = target;
    return condition;
}

bool Wants(const NOTIFICATIONCONDITION& raw, const RegValue* before, const RegValue& after) {
    auto condition = NotifyCondition::From(&raw);
    EXPECT_TRUE(condition);
    return condition && condition->Wants(before, &after);
}

struct NumberCase {
    REG_COMPARISONTYPE comparison;
    DWORD value;
    DWORD target;
    bool expected;
};

TEST(NotifyConditionTest, NumbersCompareUnsignedWithEveryComparison) {
    const NumberCase cases[] = {
        {REG_CT_ANYCHANGE, 5, 9, true},
        {REG_CT_EQUAL, 5, 5, true},
        {REG_CT_EQUAL, 5, 6, false},
        {REG_CT_NOT_EQUAL, 5, 6, true},
        {REG_CT_NOT_EQUAL, 0, 0, false},
        {REG_CT_GREATER, 6, 5, true},
        {REG_CT_GREATER, 5, 5, false},
        {REG_CT_GREATER, 0xFFFFFFFF, 1, true},  // unsigned: not -1
        {REG_CT_GREATER_OR_EQUAL, 5, 5, true},
        {REG_CT_GREATER_OR_EQUAL, 4, 5, false},
        {REG_CT_LESS, 4, 5, true},
        {REG_CT_LESS, 5, 5, false},
        {REG_CT_LESS, 0xFFFFFFFF, 1, false},
        {REG_CT_LESS_OR_EQUAL, 5, 5, true},
        {REG_CT_LESS_OR_EQUAL, 6, 5, false},
        {REG_CT_CONTAINS, 5, 5, false},  // string comparisons never match a number
        {REG_CT_STARTS_WITH, 5, 5, false},
        {REG_CT_ENDS_WITH, 5, 5, false},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(c.expected,
                  Wants(OnNumber(c.comparison, 0xFFFFFFFF, c.target), nullptr, Number(c.value)))
            << "comparison " << c.comparison << " value " << c.value << " target " << c.target;
    }
}

TEST(NotifyConditionTest, TheMaskSelectsTheBitsThatAreComparedAndWatched) {
    const auto incoming = OnNumber(REG_CT_EQUAL, 0x00010000, 0x00010000);
    EXPECT_TRUE(Wants(incoming, nullptr, Number(0x00010001)));
    EXPECT_FALSE(Wants(incoming, nullptr, Number(0x00000001)));
    // The target is not masked: a target outside the mask never matches.
    EXPECT_FALSE(
        Wants(OnNumber(REG_CT_EQUAL, 0x0000FFFF, 0x00010001), nullptr, Number(0x00010001)));

    // A change that leaves the watched bits as they were is not told.
    const RegValue before = Number(0x00010001);
    EXPECT_FALSE(Wants(incoming, &before, Number(0x00010003)));
    const RegValue cleared = Number(0x00000001);
    EXPECT_TRUE(Wants(incoming, &cleared, Number(0x00010003)));

    const auto any_bit = OnNumber(REG_CT_ANYCHANGE, 0x10, 0);
    const RegValue old_value = Number(0x10);
    EXPECT_FALSE(Wants(any_bit, &old_value, Number(0x11)));
    EXPECT_TRUE(Wants(any_bit, &old_value, Number(0x01)));
    EXPECT_TRUE(Wants(any_bit, nullptr, Number(0x00)));  // created: a change
    const RegValue was_text = Text(L"10");
    EXPECT_TRUE(Wants(any_bit, &was_text, Number(0x10)));  // changed type: a change
}

TEST(NotifyConditionTest, AMaskOfZeroMakesTheTargetAString) {
    const wchar_t* five = L"5";
    EXPECT_FALSE(Wants(OnText(REG_CT_EQUAL, five), nullptr, Number(5)));
    EXPECT_FALSE(Wants(OnText(REG_CT_NOT_EQUAL, five), nullptr, Number(5)));
    EXPECT_TRUE(Wants(OnNumber(REG_CT_ANYCHANGE, 0, 0), nullptr, Number(5)));

    // And a non-zero mask makes it a number, which no string matches.
    EXPECT_FALSE(Wants(OnNumber(REG_CT_EQUAL, 0xFFFFFFFF, 5), nullptr, Text(L"5")));
    EXPECT_TRUE(Wants(OnNumber(REG_CT_ANYCHANGE, 0xFFFFFFFF, 5), nullptr, Text(L"5")));
}

struct TextCase {
    REG_COMPARISONTYPE comparison;
    const wchar_t* value;
    const wchar_t* target;
    bool expected;
};

TEST(NotifyConditionTest, StringsCompareWithoutRegardToCase) {
    const TextCase cases[] = {
        {REG_CT_EQUAL, L"Звонок", L"ЗВОНОК", true},
        {REG_CT_EQUAL, L"Звонок", L"Звонки", false},
        {REG_CT_NOT_EQUAL, L"Ёлка", L"ёЛКА", false},
        {REG_CT_NOT_EQUAL, L"Ёлка", L"Елка", true},
        {REG_CT_CONTAINS, L"Входящий ЗВОНОК", L"звон", true},
        {REG_CT_CONTAINS, L"Входящий", L"звон", false},
        {REG_CT_STARTS_WITH, L"+79001234567", L"+7900", true},
        {REG_CT_STARTS_WITH, L"89001234567", L"+7", false},
        {REG_CT_ENDS_WITH, L"Mama.AMR", L".amr", true},
        {REG_CT_ENDS_WITH, L"Mama.amr", L".wav", false},
        {REG_CT_GREATER, L"b", L"A", true},
        {REG_CT_GREATER, L"a", L"B", false},
        {REG_CT_GREATER_OR_EQUAL, L"abc", L"ABC", true},
        {REG_CT_LESS, L"a", L"B", true},
        {REG_CT_LESS, L"abc", L"ab", false},
        {REG_CT_LESS_OR_EQUAL, L"АБВ", L"абв", true},
        {REG_CT_ANYCHANGE, L"x", L"y", true},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(c.expected, Wants(OnText(c.comparison, c.target), nullptr, Text(c.value)))
            << "comparison " << c.comparison;
    }
}

TEST(NotifyConditionTest, DeletionsAndOtherTypesAreToldWithoutComparison) {
    const auto raw = OnNumber(REG_CT_EQUAL, 0xFFFFFFFF, 5);
    auto equal_five = NotifyCondition::From(&raw);
    ASSERT_TRUE(equal_five);
    const RegValue before = Number(5);
    EXPECT_TRUE(equal_five->Wants(&before, nullptr));

    RegValue blob{L"Blob", REG_BINARY, {1, 2, 3}};
    EXPECT_TRUE(equal_five->Wants(nullptr, &blob));
    RegValue odd_number{L"Odd", REG_DWORD, {1, 2}};  // not four bytes: not a number
    EXPECT_TRUE(equal_five->Wants(nullptr, &odd_number));

    auto any = NotifyCondition::From(nullptr);
    ASSERT_TRUE(any);
    EXPECT_TRUE(any->Wants(nullptr, &blob));
    EXPECT_TRUE(any->Wants(&blob, nullptr));
}

TEST(NotifyConditionTest, ConditionsThatCannotBeEvaluatedAreRefused) {
    auto beyond = OnNumber(static_cast<REG_COMPARISONTYPE>(REG_CT_ENDS_WITH + 1), 1, 1);
    EXPECT_FALSE(NotifyCondition::From(&beyond));
    auto no_text = OnText(REG_CT_CONTAINS, nullptr);
    EXPECT_FALSE(NotifyCondition::From(&no_text));
    auto any_without_text = OnText(REG_CT_ANYCHANGE, nullptr);
    EXPECT_TRUE(NotifyCondition::From(&any_without_text));
}

TEST(NotifyConditionTest, TheTargetStringIsCopied) {
    wchar_t target[] = L"on";
    auto raw = OnText(REG_CT_EQUAL, target);
    auto condition = NotifyCondition::From(&raw);
    ASSERT_TRUE(condition);
    target[0] = L'x';  // the caller reuses its buffer
    const RegValue on = Text(L"on");
    EXPECT_TRUE(condition->Wants(nullptr, &on));
}

}  // namespace
}  // namespace tovarin::shell
