#include "shell/registry_condition.h"

#include <cstring>
#include <type_traits>

#include <winreg.h>

#include "kernel/strings/text_case.h"

namespace tovarin::shell {

using kernel::registry::RegValue;

namespace {

std::optional<DWORD> NumberOf(const RegValue* value) {
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD)) {
        return std::nullopt;
    }
    DWORD number = 0;
    std::memcpy(&number, value->data.data(), sizeof number);
    return number;
}

// The text of a REG_SZ value: its characters up to the first zero.
std::wstring TextOf(const RegValue& value) {
    std::wstring text(value.data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), value.data.data(), text.size() * sizeof(wchar_t));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

template <typename T>
bool Compare(REG_COMPARISONTYPE comparison, const T& value, const T& target) {
    switch (comparison) {
        case REG_CT_ANYCHANGE:
            return true;
        case REG_CT_EQUAL:
            return value == target;
        case REG_CT_NOT_EQUAL:
            return value != target;
        case REG_CT_GREATER:
            return value > target;
        case REG_CT_GREATER_OR_EQUAL:
            return value >= target;
        case REG_CT_LESS:
            return value < target;
        case REG_CT_LESS_OR_EQUAL:
            return value <= target;
        default:
            return false;
    }
}

}  // namespace

std::optional<NotifyCondition> NotifyCondition::From(const NOTIFICATIONCONDITION* condition) {
    NotifyCondition result;
    if (!condition) {
        return result;
    }
    // The caller's field may hold any number: read it as one before trusting it as an enum.
    std::underlying_type_t<REG_COMPARISONTYPE> raw = 0;
    std::memcpy(&raw, &condition->ctComparisonType, sizeof raw);
    const auto comparison = static_cast<long long>(raw);
    if (comparison < REG_CT_ANYCHANGE || comparison > REG_CT_ENDS_WITH) {
        return std::nullopt;
    }
    result.any_change_ = false;
    result.comparison_ = static_cast<REG_COMPARISONTYPE>(comparison);
    result.mask_ = condition->dwMask;
    if (result.mask_ != 0) {
        result.target_number_ = condition->TargetValue.dw;
    } else if (result.comparison_ != REG_CT_ANYCHANGE) {
        if (!condition->TargetValue.psz) {
            return std::nullopt;
        }
        result.target_text_ = kernel::FoldText(condition->TargetValue.psz);
    }
    return result;
}

bool NotifyCondition::Wants(const RegValue* before, const RegValue* after) const {
    if (!after || any_change_) {
        return true;
    }
    if (auto number = NumberOf(after)) {
        return WantsNumber(before, *number);
    }
    if (after->type == REG_SZ) {
        if (mask_ != 0) {
            return comparison_ == REG_CT_ANYCHANGE;
        }
        return WantsText(kernel::FoldText(TextOf(*after)));
    }
    return true;  // neither a number nor a string: told without comparison
}

bool NotifyCondition::WantsNumber(const RegValue* before, DWORD value) const {
    if (mask_ == 0) {
        return comparison_ == REG_CT_ANYCHANGE;
    }
    const DWORD masked = value & mask_;
    if (auto previous = NumberOf(before); previous && (*previous & mask_) == masked) {
        return false;  // the bits the caller watches did not change
    }
    return Compare(comparison_, masked, target_number_);
}

bool NotifyCondition::WantsText(const std::wstring& value) const {
    switch (comparison_) {
        case REG_CT_CONTAINS:
            return value.find(target_text_) != std::wstring::npos;
        case REG_CT_STARTS_WITH:
            return value.starts_with(target_text_);
        case REG_CT_ENDS_WITH:
            return value.ends_with(target_text_);
        default:
            return Compare(comparison_, value, target_text_);
    }
}

}  // namespace tovarin::shell
