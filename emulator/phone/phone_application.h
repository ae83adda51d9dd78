// The phone application: the radio's calls, the phone state it publishes under
// HKLM\System\State\Phone, the call dialog it shows and the talk key it answers.
//
// Everything happens on the phone's own device thread, which pumps messages: console commands
// arrive there as sent messages, the talk key as a posted one, and an answered call connects on a
// window timer kConnectDelayMs later. The call dialog is a top-level window of class "Dialog"
// titled with string 22403 of \Windows\tapres.dll, with a child whose text is string 22601. As on
// the phone, it is one window for the application's whole life, shown while a call rings,
// connects or is connected and hidden otherwise, and always about the call on the line (the
// caller's contact name over the number, the call timer, a waiting second call, the soft keys): the
// services keep its handle from call to call, and a procedure that one of them installs on it, or a
// hot key that one registers on it, stays with it. Its messages, hot keys among them, are
// dispatched on the phone's thread.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>

#include "phone/call_model.h"

namespace tovarin::emulator::phone {

class PhoneApplication {
  public:
    PhoneApplication() = default;
    PhoneApplication(const PhoneApplication&) = delete;
    PhoneApplication& operator=(const PhoneApplication&) = delete;

    // Device boot, first step: the radio is on; publishes the idle phone state. False when the
    // state cannot be written.
    bool TurnRadioOn();
    // Device boot: starts the phone's thread and listens to the keypad. False, with a
    // description, when the phone cannot start.
    bool Start(std::string* error);
    // Before the device goes down: stops listening to the keypad. The thread ends with the
    // device; the object must outlive it.
    void StopListening();

    // Carries out what the console (or a line) asks, on the phone's thread; call names the
    // ringing caller's call for Incoming and Second, and the call that ends for Leave. Answer
    // connects the call kConnectDelayMs later. CallError::None when it was done.
    CallError Carry(CallAction action, const std::wstring& number, CallId call = kConsoleCall);

    // Tells the observer what happens to every call, whoever made it happen (the console, the
    // talk key, a service), on the phone's thread once the new state is published. One observer
    // at a time; an empty one stops. The observer must not block, nor call Carry.
    using CallObserver = std::function<void(const CallEvent&)>;
    void SetCallObserver(CallObserver observer);

    // Places an outgoing call to a SIP address ("sip:..."): the dialler starts the call on its
    // line and names it in *call, or gives the reason it cannot. Called on the phone's thread; it
    // must not block, nor call Carry. One dialler at a time; an empty one stops. Without one, a
    // SIP address cannot be dialled; any other number is a call of the console's radio.
    using Dialler = std::function<CallError(const std::wstring& address, CallId* call)>;
    void SetDialler(Dialler dialler);

  private:
    static DWORD WINAPI ThreadMain(LPVOID start);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    // On the phone's thread:
    bool MakeWindows();
    CallError Apply(CallAction action, const std::wstring& number, CallId call);
    // The outgoing call's part of Apply: Dial and Reach, and a dialled call that is answered,
    // abandoned or refused before it connects.
    CallError ApplyOutgoing(CallAction action, const std::wstring& number, CallId call);
    CallError DialOut(const std::wstring& number);
    void StartCallClock();
    void Tell(CallEventKind kind, CallId call);
    void OnTalkKey();
    void OnConnectTimer();
    void OnSoftKey(int id);
    void OnCallClock();
    void Refresh();  // publishes the state and shows or hides the call dialog
    void ShowCallDialog();
    void HideCallDialog();
    // Writes what the call screen says about the calls now; names come from the contacts.
    void ShowCallOnScreen();
    void ShowCallClock();

    CallModel model_;
    HWND window_ = nullptr;       // the application's hidden main window
    HWND call_dialog_ = nullptr;  // from the start on; visible while a call is present
    bool call_showing_ = false;   // the current call has shown the dialog
    DWORD connected_at_ = 0;      // device milliseconds when the line's call connected
    std::string start_error_;
    int key_subscription_ = 0;
    std::mutex observer_mutex_;
    CallObserver observer_;
    Dialler dialler_;  // under observer_mutex_
};

}  // namespace tovarin::emulator::phone
