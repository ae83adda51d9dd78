// The contact commands. `contact add` changes the store's vCard file as the phone's contacts
// program would; the chooser commands act through the stylus on the chooser's list and caption,
// so the chooser sees the same taps as from a finger.
#include "console/contact_commands.h"

#include "console/session.h"
#include "host_trace.h"
#include "host/device.h"
#include "host/text.h"
#include "host/contacts.h"

namespace tovarin::emulator::console {
namespace {

constexpr wchar_t kTraceContacts[] = L"contacts";

std::string Quoted(const std::wstring& text) {
    return "\"" + kernel::WideToUtf8(text) + "\"";
}

std::variant<ContactCommand, std::string> Parse(std::string_view name,
                                                std::span<const Word> words) {
    auto quoted = [&](size_t i) { return i < words.size() && words[i].quoted; };
    if (name == "contact") {
        const std::string usage = "usage: contact add \"NAME\" \"NUMBER\" [mobile|work|home]";
        if (words.size() < 3 || words.size() > 4 || words[0].quoted || words[0].text != "add" ||
            !quoted(1) || !quoted(2)) {
            return usage;
        }
        ContactAddCommand add{kernel::Utf8ToWide(words[1].text), kernel::Utf8ToWide(words[2].text)};
        if (add.name.empty() || add.number.empty()) {
            return std::string("a contact needs a name and a number");
        }
        if (words.size() == 4) {
            const std::string& type = words[3].text;
            if (words[3].quoted || (type != "mobile" && type != "work" && type != "home")) {
                return "'" + type + "' is not a number type (mobile, work or home)";
            }
            add.type = type == "mobile" ? ContactAddCommand::Type::Mobile
                       : type == "work" ? ContactAddCommand::Type::Work
                                        : ContactAddCommand::Type::Home;
        }
        return ContactCommand{add};
    }
    const std::string usage = "usage: chooser pick \"NAME\" \"NUMBER\" | chooser cancel";
    if (words.empty() || words[0].quoted) {
        return usage;
    }
    if (words[0].text == "cancel" && words.size() == 1) {
        return ContactCommand{ChooserCancelCommand{}};
    }
    if (words[0].text == "pick" && words.size() == 3 && quoted(1) && quoted(2)) {
        return ContactCommand{ChooserPickCommand{kernel::Utf8ToWide(words[1].text),
                                                 kernel::Utf8ToWide(words[2].text)}};
    }
    return usage;
}

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

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(Quoted(text.c_str()));
    }
    return items;
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

std::optional<std::variant<ContactCommand, std::string>> ParseContactCommand(
    std::string_view name, std::span<const Word> words) {
    if (name != "contact" && name != "chooser") {
        return std::nullopt;
    }
    auto parsed = Parse(name, words);
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        return *reason;
    }
    return std::get<ContactCommand>(parsed);
}

std::vector<std::string> ContactHelpLines() {
    return {
        "Contacts (\\My Documents\\Contacts.vcf) and the contact chooser:",
        "  contact add \"NAME\" \"NUMBER\" [mobile|work|home]",
        "                                        add a contact (or a number to an existing one)",
        "  chooser pick \"NAME\" \"NUMBER\"          the user picks that contact and number in the",
        "                                        open chooser",
        "  chooser cancel                        the user closes the chooser without a choice",
    };
}

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
                               ListItems(GetDlgItem(chooser, pim::kChooserListId)));
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
