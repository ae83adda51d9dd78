#include "phone/phone_application.h"

#include <cwchar>
#include <iterator>

#include "common/names.h"
#include "common/phone_requests.h"
#include "host/audio.h"
#include "host/contacts.h"
#include "host/keys.h"
#include "host_trace.h"
#include "hosts/ready_thread.h"
#include "host/screen.h"
#include "phone/call_dialog_paint.h"
#include "phone/call_history.h"
#include "phone/phone_state_publisher.h"

namespace tovarin::emulator::phone {
namespace {

// What a call command carries to the phone's thread.
struct CallCommand {
    const std::wstring* number;
    CallId call;
};

// Sent by the console: wParam the CallAction, lParam the CallCommand;
// the result is the CallError plus 1, so that the 0 of a message that never arrived is no
// success.
constexpr UINT kMessageCallCommand = WM_APP + 1;
// Posted by the keypad observer when the talk key goes down.
constexpr UINT kMessageTalkKey = WM_APP + 2;
constexpr UINT_PTR kConnectTimer = 1;
// Ticks each second while a call is connected, for the call timer.
constexpr UINT_PTR kCallClockTimer = 2;
constexpr UINT kCallClockMs = 1000;

constexpr const wchar_t* kPhoneWindowClass = kWindowClassPhoneApplication;
static_assert(kMessagePhoneDial != kMessageCallCommand && kMessagePhoneDial != kMessageTalkKey);
constexpr wchar_t kCallTextClass[] = L"CallDialogText";
constexpr wchar_t kSoftKeyClass[] = L"CallSoftKey";
constexpr wchar_t kTracePart[] = L"phone";

// The phone's windows belong to its thread, so their procedure always runs there.
thread_local PhoneApplication* t_phone = nullptr;
// The call dialog's own procedure, under the phone's, which lays the screen out when it turns.
thread_local WNDPROC t_dialog_proc = nullptr;

LRESULT CALLBACK CallDialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SIZE) {
        LayOutCallScreen(hwnd);
    }
    return CallWindowProcW(t_dialog_proc, hwnd, message, wparam, lparam);
}

void SetChildText(HWND dialog, int id, const std::wstring& text) {
    wchar_t now[128] = {};
    GetDlgItemTextW(dialog, id, now, static_cast<int>(std::size(now)));
    if (text != now) {
        SetDlgItemTextW(dialog, id, text.c_str());
    }
}

void ShowChild(HWND dialog, int id, bool shown) {
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOWNA : SW_HIDE);
}

// A number as the call screen shows it.
std::wstring ShownNumber(const std::wstring& number) {
    return number.empty() ? L"Номер скрыт" : number;
}

bool LoadPhoneString(HMODULE library, UINT id, std::wstring* text) {
    WCHAR buffer[256];
    int length = LoadStringW(library, id, buffer, 256);
    if (length <= 0) {
        return false;
    }
    text->assign(buffer, static_cast<size_t>(length));
    return true;
}

std::wstring CallerText(const std::wstring& number) {
    return number.empty() ? L"a withheld number" : number;
}

bool IsSipAddress(const std::wstring& number) {
    return number.starts_with(L"sip:") || number.starts_with(L"SIP:");
}

// A call that ended goes into the history; the console hears when it could not.
void RecordEndedCall(CallDirection direction, const std::wstring& number, DWORD talked_ms) {
    if (!RecordCallInHistory(direction, number, talked_ms)) {
        HostTrace(kTracePart, L"cannot record the call in the history");
    }
}

}  // namespace

bool PhoneApplication::TurnRadioOn() {
    return PublishPhoneState(model_.State());
}

bool PhoneApplication::Start(std::string* error) {
    if (!StartReadyThread(&PhoneApplication::ThreadMain, this, "the phone application", error)) {
        if (!start_error_.empty()) {
            *error += ": " + start_error_;
        }
        return false;
    }
    HWND window = window_;
    key_subscription_ = gwes::SubscribeKeys([window](uint8_t vk, bool up) {
        if (vk == VK_TTALK && !up) {
            PostMessageW(window, kMessageTalkKey, 0, 0);
        }
    });
    return true;
}

void PhoneApplication::StopListening() {
    if (key_subscription_ != 0) {
        gwes::UnsubscribeKeys(key_subscription_);
        key_subscription_ = 0;
    }
}

CallError PhoneApplication::Carry(CallAction action, const std::wstring& number, CallId call) {
    CallCommand command{&number, call};
    LRESULT result = SendMessageW(window_, kMessageCallCommand, static_cast<WPARAM>(action),
                                  reinterpret_cast<LPARAM>(&command));
    if (result == 0) {
        return CallError::PhoneUnreachable;
    }
    return static_cast<CallError>(result - 1);
}

DWORD WINAPI PhoneApplication::ThreadMain(LPVOID start) {
    auto* record = static_cast<ReadyThreadStart*>(start);
    auto* phone = static_cast<PhoneApplication*>(record->context);
    ReadySignal ready = record->ready;
    t_phone = phone;
    if (!phone->MakeWindows()) {
        return 1;
    }
    ready.Ready();
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

bool PhoneApplication::MakeWindows() {
    HMODULE strings = LoadLibraryW(kLibraryPhoneResources);
    if (strings == nullptr) {
        start_error_ =
            "cannot load \\Windows\\tapres.dll (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    std::wstring dialog_title;
    std::wstring dialog_text;
    bool loaded = LoadPhoneString(strings, kPhoneStringCallDialogTitle, &dialog_title) &&
                  LoadPhoneString(strings, kPhoneStringCallDialogChild, &dialog_text);
    FreeLibrary(strings);
    if (!loaded) {
        start_error_ = "tapres.dll lacks the call dialog's strings";
        return false;
    }

    WNDCLASSW phone_class = {};
    phone_class.lpfnWndProc = &PhoneApplication::WindowProc;
    phone_class.lpszClassName = kPhoneWindowClass;
    WNDCLASSW text_class = {};
    text_class.lpfnWndProc = &CallTextProc;
    text_class.lpszClassName = kCallTextClass;
    WNDCLASSW key_class = {};
    key_class.lpfnWndProc = &CallSoftKeyProc;
    key_class.lpszClassName = kSoftKeyClass;
    if (RegisterClassW(&phone_class) == 0 || RegisterClassW(&text_class) == 0 ||
        RegisterClassW(&key_class) == 0) {
        start_error_ =
            "cannot register its window classes (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    window_ = CreateWindowExW(0, kPhoneWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              nullptr, nullptr);
    if (window_ == nullptr) {
        start_error_ = "cannot make its window (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // Hidden until a call rings; full-screen under the taskbar, with its own soft keys.
    call_dialog_ = CreateWindowExW(
        0, kWindowClassDialog, dialog_title.c_str(), WS_POPUP | WS_CAPTION, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    auto child = [this](const wchar_t* window_class, const std::wstring& text, int id, bool shown) {
        return CreateWindowExW(0, window_class, text.c_str(), WS_CHILD | (shown ? WS_VISIBLE : 0),
                               0, 0, 0, 0, call_dialog_,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr,
                               nullptr) != nullptr;
    };
    bool made = call_dialog_ != nullptr && child(kCallTextClass, dialog_text, kCallTextId, true);
    for (int id : {kCallStateId, kCallerNameId, kCallerNumberId, kCallTimerId, kSecondHeadingId,
                   kSecondCallerId}) {
        made = made && child(kCallTextClass, L"", id, id == kCallerNumberId);
    }
    for (int id : {kLeftSoftKeyId, kRightSoftKeyId}) {
        made = made && child(kSoftKeyClass, L"", id, true);
        if (made) {
            SetWindowLongW(GetDlgItem(call_dialog_, id), GWL_USERDATA,
                           static_cast<LONG>(reinterpret_cast<intptr_t>(window_)));
        }
    }
    if (!made) {
        start_error_ = "cannot make the call dialog (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    t_dialog_proc = reinterpret_cast<WNDPROC>(static_cast<intptr_t>(
        SetWindowLongW(call_dialog_, GWL_WNDPROC,
                       static_cast<LONG>(reinterpret_cast<intptr_t>(&CallDialogProc)))));
    gwes::KeepFullScreen(call_dialog_, /*cover_menu_bar=*/true);
    LayOutCallScreen(call_dialog_);
    return true;
}

LRESULT CALLBACK PhoneApplication::WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
    PhoneApplication* phone = t_phone;
    switch (message) {
        case kMessageCallCommand: {
            const auto* command = reinterpret_cast<const CallCommand*>(lparam);
            return static_cast<LRESULT>(phone->Apply(static_cast<CallAction>(wparam),
                                                     *command->number, command->call)) +
                   1;
        }
        case kMessageTalkKey:
            phone->OnTalkKey();
            return 0;
        case kMessagePhoneDial: {
            const auto* number = reinterpret_cast<const wchar_t*>(lparam);
            return number != nullptr &&
                   phone->Apply(CallAction::Dial, number, kConsoleCall) == CallError::None;
        }
        case WM_TIMER:
            if (wparam == kConnectTimer) {
                phone->OnConnectTimer();
                return 0;
            }
            if (wparam == kCallClockTimer) {
                phone->OnCallClock();
                return 0;
            }
            break;
        case WM_COMMAND:
            phone->OnSoftKey(LOWORD(wparam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void PhoneApplication::SetCallObserver(CallObserver observer) {
    std::lock_guard lock(observer_mutex_);
    observer_ = std::move(observer);
}

void PhoneApplication::SetDialler(Dialler dialler) {
    std::lock_guard lock(observer_mutex_);
    dialler_ = std::move(dialler);
}

void PhoneApplication::Tell(CallEventKind kind, CallId call) {
    CallObserver observer;
    {
        std::lock_guard lock(observer_mutex_);
        observer = observer_;
    }
    if (observer) {
        observer(CallEvent{kind, call});
    }
}

CallError PhoneApplication::Apply(CallAction action, const std::wstring& number, CallId call) {
    if (action == CallAction::Dial || action == CallAction::Reach ||
        (model_.Dialling() && (action == CallAction::Answer || action == CallAction::End ||
                               action == CallAction::Leave))) {
        return ApplyOutgoing(action, number, call);
    }
    if (action == CallAction::Leave) {
        // The caller hangs up: what that means depends on where the call is now.
        if (model_.SecondWaiting() && model_.SecondCall() == call) {
            action = CallAction::SecondEnd;
        } else if (model_.CallPresent() && model_.LineCall() == call) {
            action = model_.Connected() ? CallAction::End : CallAction::Miss;
        } else {
            return CallError::NoSuchCall;
        }
    }
    const CallId line_call = model_.LineCall();
    const CallId second_call = model_.SecondCall();
    const std::wstring line_number = model_.LineNumber();
    const std::wstring second_number = model_.SecondNumber();
    const bool line_dialled = model_.LineDialled();
    CallError error = CallError::None;
    std::wstring said;
    switch (action) {
        case CallAction::Leave:
        case CallAction::Dial:
        case CallAction::Reach:
            break;
        case CallAction::Incoming:
            error = model_.Incoming(number, call);
            said = L"call from " + CallerText(number) + L" rings";
            break;
        case CallAction::Answer:
            error = model_.Answer();
            said = L"call answered";
            break;
        case CallAction::Miss:
            error = model_.Miss();
            said = L"call missed";
            break;
        case CallAction::End:
            error = model_.End();
            said = model_.Ringing() ? L"call ended; the second call rings" : L"call ended";
            break;
        case CallAction::Second:
            error = model_.Second(number, call);
            said = L"second call from " + CallerText(number);
            break;
        case CallAction::SecondEnd:
            error = model_.SecondEnd();
            said = L"second call ended";
            break;
    }
    if (error != CallError::None) {
        return error;
    }
    if (action == CallAction::Answer) {
        SetTimer(window_, kConnectTimer, kConnectDelayMs, nullptr);
    } else if (action == CallAction::Miss) {
        KillTimer(window_, kConnectTimer);
    }
    HostTrace(kTracePart, said);
    // The call that ended goes into the history before the screen shows the phone idle.
    if (action == CallAction::Miss || action == CallAction::SecondEnd) {
        RecordEndedCall(CallDirection::Missed,
                        action == CallAction::Miss ? line_number : second_number, 0);
    } else if (action == CallAction::End) {
        RecordEndedCall(line_dialled ? CallDirection::Outgoing : CallDirection::Incoming,
                        line_number, GetTickCount() - connected_at_);
    }
    Refresh();
    switch (action) {
        case CallAction::Incoming:
            Tell(CallEventKind::Rings, call);
            break;
        case CallAction::Answer:
            Tell(CallEventKind::Answered, line_call);
            break;
        case CallAction::Miss:
            Tell(CallEventKind::Missed, line_call);
            break;
        case CallAction::End:
            Tell(CallEventKind::Ended, line_call);
            if (model_.Ringing()) {
                Tell(CallEventKind::Rings, model_.LineCall());
            }
            break;
        case CallAction::Second:
            Tell(CallEventKind::SecondWaits, call);
            break;
        case CallAction::SecondEnd:
            Tell(CallEventKind::SecondEnded, second_call);
            break;
        case CallAction::Leave:
        case CallAction::Dial:
        case CallAction::Reach:
            break;
    }
    return CallError::None;
}

CallError PhoneApplication::ApplyOutgoing(CallAction action, const std::wstring& number,
                                          CallId call) {
    if (action == CallAction::Dial) {
        return DialOut(number);
    }
    const CallId line_call = model_.LineCall();
    if (action == CallAction::Answer) {
        // The console answers for the called party only on its own radio's calls: a line's
        // called party answers on that line.
        if (line_call != kConsoleCall) {
            return CallError::NoRingingCall;
        }
        action = CallAction::Reach;
    }
    if (action == CallAction::Leave && line_call != call) {
        return CallError::NoSuchCall;
    }
    if (action == CallAction::Reach) {
        CallError error = model_.Reach();
        if (error != CallError::None) {
            return error;
        }
        HostTrace(kTracePart, L"the called party answers; call connected");
        StartCallClock();
        Refresh();
        Tell(CallEventKind::Connected, line_call);
        return CallError::None;
    }
    // End by the user, or Leave: the called party refuses, or the line gives up. The call goes
    // into the history as outgoing, at the time it was given up, before the screen shows the
    // phone idle.
    const std::wstring line_number = model_.LineNumber();
    CallError error = model_.Abandon();
    if (error != CallError::None) {
        return error;
    }
    HostTrace(kTracePart, action == CallAction::End ? L"outgoing call abandoned"
                                                    : L"outgoing call not answered");
    RecordEndedCall(CallDirection::Outgoing, line_number, 0);
    Refresh();
    Tell(CallEventKind::Ended, line_call);
    return CallError::None;
}

CallError PhoneApplication::DialOut(const std::wstring& number) {
    if (model_.CallPresent()) {
        return CallError::CallPresent;
    }
    if (number.empty()) {
        return CallError::NoNumber;
    }
    CallId call = kConsoleCall;
    if (IsSipAddress(number)) {
        Dialler dialler;
        {
            std::lock_guard lock(observer_mutex_);
            dialler = dialler_;
        }
        if (!dialler) {
            return CallError::NoWayToDial;
        }
        CallError error = dialler(number, &call);
        if (error != CallError::None) {
            return error;
        }
    }
    CallError error = model_.Dial(number, call);
    if (error != CallError::None) {
        return error;
    }
    HostTrace(kTracePart, L"dialling " + number);
    Refresh();
    Tell(CallEventKind::Dials, call);
    return CallError::None;
}

void PhoneApplication::StartCallClock() {
    connected_at_ = GetTickCount();
    SetTimer(window_, kCallClockTimer, kCallClockMs, nullptr);
}

void PhoneApplication::OnTalkKey() {
    if (!model_.Ringing()) {
        return;
    }
    model_.Answer();
    SetTimer(window_, kConnectTimer, kConnectDelayMs, nullptr);
    HostTrace(kTracePart, L"talk key answers the call");
    Refresh();
    Tell(CallEventKind::Answered, model_.LineCall());
}

void PhoneApplication::OnConnectTimer() {
    KillTimer(window_, kConnectTimer);
    if (model_.Connect() != CallError::None) {
        return;
    }
    HostTrace(kTracePart, L"call connected");
    StartCallClock();
    Refresh();
    Tell(CallEventKind::Connected, model_.LineCall());
}

void PhoneApplication::Refresh() {
    // The dialog is up before a reader of the new state looks for it, and goes after the state
    // that ends the call.
    if (model_.CallPresent()) {
        ShowCallOnScreen();
        ShowCallDialog();
    }
    if (!model_.Connected()) {
        KillTimer(window_, kCallClockTimer);
    }
    // The line carries audio while a call is connected: what the device plays goes to the caller.
    media::SetLineConnected((model_.State().status & kStatusTalking) != 0);
    if (!PublishPhoneState(model_.State())) {
        HostTrace(kTracePart, L"cannot publish the phone state");
    }
    if (!model_.CallPresent()) {
        HideCallDialog();
    }
}

void PhoneApplication::ShowCallDialog() {
    // A service may have hidden it during the call; it comes back only when a call starts.
    if (call_showing_) {
        return;
    }
    call_showing_ = true;
    ShowWindow(call_dialog_, SW_SHOW);
    SetForegroundWindow(call_dialog_);
}

void PhoneApplication::HideCallDialog() {
    call_showing_ = false;
    ShowWindow(call_dialog_, SW_HIDE);
}

void PhoneApplication::ShowCallOnScreen() {
    const bool ringing = model_.Ringing();
    const bool connected = model_.Connected();
    // The text the services look for stays as it is; it is shown only while the call rings.
    ShowChild(call_dialog_, kCallTextId, ringing);
    const wchar_t* state = L"";
    if (connected) {
        state = L"Соединено";
    } else if (model_.Connecting()) {
        state = L"Соединение...";
    } else if (model_.Dialling()) {
        state = L"Вызов";
    }
    SetChildText(call_dialog_, kCallStateId, state);
    ShowChild(call_dialog_, kCallStateId, !ringing);

    const std::wstring name = pim::ContactNameOfNumber(model_.LineNumber());
    SetChildText(call_dialog_, kCallerNameId, name);
    ShowChild(call_dialog_, kCallerNameId, !name.empty());
    SetChildText(call_dialog_, kCallerNumberId, ShownNumber(model_.LineNumber()));

    const bool waiting = model_.SecondWaiting();
    std::wstring second;
    if (waiting) {
        const std::wstring second_name = pim::ContactNameOfNumber(model_.SecondNumber());
        second = second_name.empty()
                     ? ShownNumber(model_.SecondNumber())
                     : second_name + L" (" + ShownNumber(model_.SecondNumber()) + L")";
    }
    SetChildText(call_dialog_, kSecondHeadingId, waiting ? L"Ожидающий вызов" : L"");
    SetChildText(call_dialog_, kSecondCallerId, second);
    ShowChild(call_dialog_, kSecondHeadingId, waiting);
    ShowChild(call_dialog_, kSecondCallerId, waiting);

    SetChildText(call_dialog_, kLeftSoftKeyId,
                 ringing ? L"Ответить" : (connected || model_.Dialling() ? L"Завершить" : L""));
    SetChildText(call_dialog_, kRightSoftKeyId, ringing ? L"Игнорировать" : L"");
    ShowCallClock();
}

void PhoneApplication::ShowCallClock() {
    const bool connected = model_.Connected();
    std::wstring text;
    if (connected) {
        const DWORD seconds = (GetTickCount() - connected_at_) / 1000;
        wchar_t clock[16] = {};
        std::swprintf(clock, std::size(clock), L"%02lu:%02lu",
                      static_cast<unsigned long>(seconds / 60),
                      static_cast<unsigned long>(seconds % 60));
        text = clock;
    }
    SetChildText(call_dialog_, kCallTimerId, text);
    ShowChild(call_dialog_, kCallTimerId, connected);
}

void PhoneApplication::OnCallClock() {
    ShowCallClock();
}

void PhoneApplication::OnSoftKey(int id) {
    // A key does what its label says now; a key without a label does nothing.
    if (id == kLeftSoftKeyId && model_.Ringing()) {
        Apply(CallAction::Answer, L"", model_.LineCall());
    } else if (id == kLeftSoftKeyId && (model_.Connected() || model_.Dialling())) {
        Apply(CallAction::End, L"", model_.LineCall());
    } else if (id == kRightSoftKeyId && model_.Ringing()) {
        Apply(CallAction::Miss, L"", model_.LineCall());
    }
}

}  // namespace tovarin::emulator::phone
