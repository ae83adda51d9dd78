// Message boxes: a real window, a modal loop on the caller's thread and answers from the host.
#include <string>
#include <vector>

#include <windows.h>

#include "host/message_boxes.h"
#include "testing/gwes_fixture.h"
#include "host/window_tree.h"
#include "host/device.h"
#include "host/trace.h"

namespace tovarin::gwes::testing {
namespace {

struct BoxRequest {
    LPCWSTR text = L"";
    LPCWSTR caption = nullptr;
    UINT type = MB_OK;
    HWND owner = nullptr;
    bool make_window = false;  // make a window of the caller's thread first
    bool made_is_owner = false;
    HWND made = nullptr;
};

DWORD WINAPI ShowsBox(LPVOID param) {
    auto* request = static_cast<BoxRequest*>(param);
    if (request->make_window) {
        request->made = CreateWindowExW(0, kRecorderClass, L"behind", 0, 0, 0, 1, 1, nullptr,
                                        nullptr, nullptr, nullptr);
        if (request->made_is_owner) {
            request->owner = request->made;
        }
    }
    return static_cast<DWORD>(
        MessageBoxW(request->owner, request->text, request->caption, request->type));
}

class MessageBoxTest : public WindowTest {
  protected:
    ~MessageBoxTest() override {
        if (thread_) {
            CloseHandle(thread_);
        }
    }

    // Starts a thread that shows the box; returns once it waits in its modal loop.
    MessageBoxInfo Show(BoxRequest* request) {
        thread_ = CreateThread(nullptr, 0, &ShowsBox, request, 0, &thread_id_);
        kernel::WaitForDeviceIdle();
        std::vector<MessageBoxInfo> shown = ShownMessageBoxes();
        EXPECT_EQ(1u, shown.size());
        return shown.empty() ? MessageBoxInfo{} : shown.front();
    }

    // Waits for MessageBoxW to return; its result is the thread's exit code.
    DWORD Result() {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread_, INFINITE));
        DWORD code = 0;
        GetExitCodeThread(thread_, &code);
        return code;
    }

    HANDLE thread_ = nullptr;
    DWORD thread_id_ = 0;
};

TEST_F(MessageBoxTest, AHostAnswerEndsTheModalLoop) {
    BoxRequest request{.text = L"Дисковое пространство меньше 1MB.",
                       .caption = L"Внимание",
                       .type = MB_OKCANCEL | MB_ICONEXCLAMATION | MB_TOPMOST};
    MessageBoxInfo box = Show(&request);
    EXPECT_EQ(std::wstring(L"Дисковое пространство меньше 1MB."), box.text);
    EXPECT_EQ(std::wstring(L"Внимание"), box.caption);
    EXPECT_EQ(request.type, box.type);
    EXPECT_EQ(thread_id_, box.thread_id);

    // A real window: found by class and title, shown, in front, owned by the caller's thread.
    EXPECT_EQ(box.hwnd, FindWindowW(L"Dialog", L"Внимание"));
    EXPECT_TRUE(IsWindowVisible(box.hwnd));
    EXPECT_EQ(box.hwnd, GetForegroundWindow());
    EXPECT_EQ(thread_id_, GetWindowThreadProcessId(box.hwnd, nullptr));

    EXPECT_FALSE(AnswerMessageBox(box.hwnd, IDYES));  // not one of its buttons
    EXPECT_TRUE(AnswerMessageBox(box.hwnd, IDCANCEL));
    EXPECT_EQ(static_cast<DWORD>(IDCANCEL), Result());
    EXPECT_FALSE(IsWindow(box.hwnd));
    EXPECT_TRUE(ShownMessageBoxes().empty());
    EXPECT_FALSE(AnswerMessageBox(box.hwnd, IDOK));
}

TEST_F(MessageBoxTest, TheCallersOtherWindowsStillHearSentMessages) {
    BoxRequest request{.text = L"t", .caption = L"c", .type = MB_YESNO, .make_window = true};
    MessageBoxInfo box = Show(&request);
    ASSERT_NE(nullptr, request.made);
    EXPECT_EQ(static_cast<LRESULT>(thread_id_), SendMessageW(request.made, kWhoRuns, 0, 0));
    // A box without Cancel cannot be closed; Enter presses the default button.
    SendMessageW(box.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(box.hwnd));
    SetForegroundWindow(box.hwnd);
    keybd_event(VK_RETURN, 0, 0, 0);
    EXPECT_EQ(static_cast<DWORD>(IDYES), Result());
}

TEST_F(MessageBoxTest, TheOwnerIsDisabledWhileTheBoxIsUp) {
    HWND owner = MakeWindow(L"owner");
    BoxRequest request{
        .text = L"t", .caption = L"", .type = MB_RETRYCANCEL | MB_DEFBUTTON2, .owner = owner};
    MessageBoxInfo box = Show(&request);
    EXPECT_EQ(owner, GetWindow(box.hwnd, GW_OWNER));
    EXPECT_NE(0, GetWindowLongW(owner, GWL_STYLE) & WS_DISABLED);
    EXPECT_EQ(box.hwnd, FindWindowW(L"Dialog", L""));  // an empty caption stays empty
    SendMessageW(box.hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(static_cast<DWORD>(IDCANCEL), Result());
    EXPECT_EQ(0, GetWindowLongW(owner, GWL_STYLE) & WS_DISABLED);
}

TEST_F(MessageBoxTest, TheForegroundGoesBackToTheOwnerAndNotToAWindowBehindIt) {
    HWND desktop = MakeWindow(L"desktop", nullptr, WS_VISIBLE);
    HWND owner = MakeWindow(L"owner", nullptr, WS_VISIBLE);
    SetForegroundWindow(owner);
    BoxRequest request{.text = L"t", .caption = L"c", .type = MB_YESNO, .owner = owner};
    MessageBoxInfo box = Show(&request);
    EXPECT_EQ(box.hwnd, GetForegroundWindow());
    EXPECT_TRUE(AnswerMessageBox(box.hwnd, IDNO));
    EXPECT_EQ(static_cast<DWORD>(IDNO), Result());
    EXPECT_EQ(owner, GetForegroundWindow());
    EXPECT_NE(desktop, GetForegroundWindow());
}

TEST_F(MessageBoxTest, DestroyingTheOwnerEndsTheBoxAsIfClosed) {
    BoxRequest request{.text = L"t",
                       .caption = L"c",
                       .type = MB_OKCANCEL,
                       .make_window = true,
                       .made_is_owner = true};
    MessageBoxInfo box = Show(&request);
    // The owner goes inside a sent message, while the box's loop waits for posted ones.
    SendMessageW(request.made, WM_CLOSE, 0, 0);
    EXPECT_EQ(static_cast<DWORD>(IDCANCEL), Result());
    EXPECT_FALSE(IsWindow(box.hwnd));
    EXPECT_FALSE(IsWindow(request.made));
}

TEST_F(MessageBoxTest, ANullCaptionIsTheDefaultTitleAndTheBoxIsTraced) {
    const size_t lines = kernel::Device::Current().trace().Lines().size();
    BoxRequest request{.text = L"Невозможно", .caption = nullptr, .type = MB_OK};
    MessageBoxInfo box = Show(&request);
    EXPECT_EQ(std::wstring(L"Error"), box.caption);
    EXPECT_EQ(box.hwnd, FindWindowW(L"Dialog", L"Error"));
    std::vector<kernel::TraceLine> trace = kernel::Device::Current().trace().Lines();
    ASSERT_EQ(lines + 1, trace.size());
    EXPECT_EQ(L"MessageBox \"Error\": Невозможно\n", trace.back().text);
    // An OK box takes only OK.
    EXPECT_FALSE(AnswerMessageBox(box.hwnd, IDCANCEL));
    EXPECT_TRUE(AnswerMessageBox(box.hwnd, IDOK));
    EXPECT_EQ(static_cast<DWORD>(IDOK), Result());
}

TEST_F(MessageBoxTest, AnUnknownTypeShowsNothing) {
    SetLastError(0);
    EXPECT_EQ(0, MessageBoxW(nullptr, L"t", L"c", 0x0000000E));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_TRUE(TopLevelWindows().empty());
}

TEST_F(MessageBoxTest, QuitEndsTheBoxAndIsPassedOn) {
    PumpingThread caller([] {
        // The quit arrives while the box is up; the outer loop of the thread must see it too.
        PostQuitMessage(12);
        MessageBoxW(nullptr, L"t", L"quit", MB_OK);
    });
    // The box ended at once and the thread's own loop ended with the same quit code.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(caller.handle(), INFINITE));
    DWORD code = 0;
    GetExitCodeThread(caller.handle(), &code);
    EXPECT_EQ(12u, code);
    EXPECT_EQ(nullptr, FindWindowW(L"Dialog", L"quit"));
}

}  // namespace
}  // namespace tovarin::gwes::testing
