// The contact commands. `contact add` changes the store's vCard file as the phone's contacts
// program would; the chooser commands act through the stylus on the chooser's list and caption,
// so the chooser sees the same taps as from a finger.
#include "console/contact_commands.h"

#include "console/list_items.h"
#include "console/session.h"
#include "host_trace.h"
#include "host/device.h"
#include "host/text.h"
#include "host/contacts.h"

namespace tovarin::emulator::console {
namespace {

constexpr wchar_t kTraceContacts[] = L"contacts";

pim::NumberType StoreType(ContactAddCommand::Type type) {
    switch (type) {
        case ContactAddCommand::Type::Mobile:
            return pim::NumberType::Mobile;
        case ContactAddCommand::Type::Work:
            return pim::NumberType::Work;
        case ContactAddCommand::Type::Home:
            break;
    }
    return pim::NumberType::Home;
}

// The chooser the user sees: open and in the foreground.
std::variant<HWND, std::string> ShownChooser() {
    HWND chooser = pim::FindOpenChooser();
    if (!chooser) {
        return std::string("no contact chooser is open");
    }
    if (GetForegroundWindow() != chooser) {
        return std::string("the contact chooser is open but not in the foreground");
    }
    return chooser;
}

}  // namespace

Outcome Session::Do(const ContactCommand& command) {
    if (const auto* add = std::get_if<ContactAddCommand>(&command.action)) {
        std::string fault;
        switch (pim::AddContactNumber(add->name, add->number, StoreType(add->type), &fault)) {
            case pim::AddResult::ContactAdded:
                HostTrace(kTraceContacts, L"added " + add->name + L" " + add->number);
                return Outcome::Done();
            case pim::AddResult::NumberAdded:
                HostTrace(kTraceContacts, L"added " + add->number + L" to " + add->name);
                return Outcome::Done();
            case pim::AddResult::AlreadyThere:
                return Outcome::Failed(Quoted(add->name) + " already has the number " +
                                       Quoted(add->number));
            case pim::AddResult::StoreUnusable:
                break;
        }
        return Outcome::Failed(kernel::WideToUtf8(pim::kContactStorePath) +
                               " is left as it is: " + fault);
    }
    auto shown = ShownChooser();
    if (auto* reason = std::get_if<std::string>(&shown)) {
        return Outcome::Failed(*reason);
    }
    HWND chooser = std::get<HWND>(shown);
    const ControlAddress list_address{pim::kChooserListId, 0};
    if (std::holds_alternative<ChooserCancelCommand>(command.action)) {
        if (Outcome tapped = Do(UiCommand{OkCommand{}}); !tapped.ok) {
            return tapped;
        }
        kernel::WaitForDeviceIdle();
        return pim::FindOpenChooser() == chooser
                   ? Outcome::Failed("the contact chooser stayed open")
                   : Outcome::Done();
    }
    const auto& pick = std::get<ChooserPickCommand>(command.action);
    if (!pim::ChooserShowsContacts(chooser)) {
        return Outcome::Failed("the contact chooser shows a contact's numbers, not the contacts");
    }
    if (Outcome tapped = Do(InputCommand{ChooseCommand{list_address, pick.name}}); !tapped.ok) {
        return tapped;
    }
    const int row = pim::ChooserNumberRow(chooser, pick.number.c_str());
    if (row < 0) {
        return Outcome::Failed(Quoted(pick.name) + " has no number " + Quoted(pick.number),
                               QuotedItemsOf(GetDlgItem(chooser, pim::kChooserListId)));
    }
    ChooseCommand number{list_address};
    number.index = row;
    if (Outcome tapped = Do(InputCommand{number}); !tapped.ok) {
        return tapped;
    }
    return pim::FindOpenChooser() == chooser
               ? Outcome::Failed("the contact chooser stayed open after the number was tapped")
               : Outcome::Done();
}

}  // namespace tovarin::emulator::console
