// The condition of a registry change notification (NOTIFICATIONCONDITION), evaluated at the
// change against the value before and after it.
//
// - No condition: every change is told.
// - A deleted value is always told (with no data).
// - A DWORD value: the mask is applied to the new value and the result compared with the target
//   number. With a mask, a change that leaves the masked bits as they were is not told. A mask of
//   0 means the target is a string, which no number matches (only REG_CT_ANYCHANGE fires).
// - A REG_SZ value: compared with the target string, without regard to case (ordering as well,
//   as the phone's string comparison with case ignored). A non-zero mask means the target is a
//   number, which no string matches (only REG_CT_ANYCHANGE fires).
// - A value of another type is told without comparison.
#pragma once

#include <optional>
#include <string>

#include <regext.h>

#include "kernel/registry/key_tree.h"

namespace tovarin::shell {

class NotifyCondition {
  public:
    // Copies the caller's condition (its target string too). nullptr: any change. nullopt when the
    // condition cannot be evaluated: an unknown comparison, or a string comparison without a
    // string.
    static std::optional<NotifyCondition> From(const NOTIFICATIONCONDITION* condition);

    bool Wants(const kernel::registry::RegValue* before,
               const kernel::registry::RegValue* after) const;

  private:
    NotifyCondition() = default;
    bool WantsNumber(const kernel::registry::RegValue* before, DWORD value) const;
    bool WantsText(const std::wstring& folded_value) const;

    bool any_change_ = true;
    REG_COMPARISONTYPE comparison_ = REG_CT_ANYCHANGE;
    DWORD mask_ = 0;
    DWORD target_number_ = 0;
    std::wstring target_text_;  // case-folded
};

}  // namespace tovarin::shell
