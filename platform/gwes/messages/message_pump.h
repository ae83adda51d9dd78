// Moving messages: calling window procedures, sending across threads, posting, and taking the
// next message of the calling thread. The API functions of message_api.cpp are thin shells over
// these, and modal loops use them too.
#pragma once

#include <memory>
#include <mutex>

#include <windows.h>

#include "gwes/messages/message_filter.h"
#include "gwes/windows/window.h"

namespace tovarin::gwes {

class WindowManager;

LRESULT CallWindowProcedure(WNDPROC proc, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// SendMessageW: the window's procedure on its own thread. A sender of another thread waits, and
// meanwhile delivers what other threads send to it. 0 when the window or its thread is gone.
LRESULT SendToWindow(WindowManager& wm, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Kernel lock held: queues a message for the window's thread (recorded when it comes from
// another thread).
void PostToWindow(WindowManager& wm, const Window& window, UINT message, WPARAM wparam,
                  LPARAM lparam);

// Runs every message that other threads have sent to the calling thread.
void DeliverSentMessages(WindowManager& wm);

enum class NextResult { Message, None, Failed };

// GetMessageW (block) and PeekMessageW (no block): sent messages first, then posted ones, the
// quit request and due timers. Failed when the wait could not go on (a reported deadlock), with
// the last-error set.
NextResult NextMessage(WindowManager& wm, const MessageFilter& filter, bool remove, bool block,
                       MSG* out);

}  // namespace tovarin::gwes
