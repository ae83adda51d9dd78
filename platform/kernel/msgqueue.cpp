// Point-to-point message queues. A queue has read ends and write ends, each behind its own handle;
// a read end is signalled while a message waits, a write end while there is room.
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include <windows.h>
#include <msgqueue.h>

#include "host/device.h"
#include "kernel/handles.h"
#include "kernel/msgqueue.h"
#include "kernel/scheduler.h"

using namespace tovarin::kernel;

namespace tovarin::kernel {
namespace {

struct Message {
    std::vector<uint8_t> bytes;
    DWORD flags = 0;
};

class QueueEnd;

// Guarded by the kernel lock.
struct QueueState {
    DWORD flags = 0;
    DWORD max_messages = 0;  // 0: no limit
    DWORD max_message_size = 0;
    std::deque<Message> messages;
    std::vector<QueueEnd*> ends;
    int readers = 0;
    int writers = 0;
    bool Full() const { return max_messages != 0 && messages.size() >= max_messages; }
};

class QueueEnd final : public Waitable {
  public:
    QueueEnd(std::shared_ptr<QueueState> queue, bool reads)
        : queue_(std::move(queue)), reads_(reads) {
        queue_->ends.push_back(this);
        (reads_ ? queue_->readers : queue_->writers)++;
    }
    ~QueueEnd() override;

    const char* TypeName() const override {
        return reads_ ? "message queue (read)" : "message queue (write)";
    }
    bool IsSignalledFor(const ThreadRecord&) const override {
        return reads_ ? !queue_->messages.empty() : !queue_->Full();
    }
    QueueState& queue() { return *queue_; }
    const std::shared_ptr<QueueState>& shared_queue() const { return queue_; }
    bool reads() const { return reads_; }

    // Kernel lock held: wakes the ends of the other side after a change.
    static void Changed(Scheduler& scheduler, QueueState& queue) {
        std::vector<QueueEnd*> ends = queue.ends;
        for (QueueEnd* end : ends) {
            scheduler.Signalled(*end);
        }
    }

  private:
    std::shared_ptr<QueueState> queue_;
    const bool reads_;
};

// Names are per device: the table lives as long as the device's first queue user.
std::mutex g_names_mutex;
std::map<std::wstring, std::weak_ptr<QueueState>> g_names;
const Device* g_names_device = nullptr;

QueueEnd::~QueueEnd() {
    // The last handle of this end is gone; the kernel lock is not held here, so take it.
    if (!Device::IsUp()) {
        return;
    }
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    std::erase(queue_->ends, this);
    (reads_ ? queue_->readers : queue_->writers)--;
}

std::shared_ptr<QueueState> FindOrCreateQueue(LPCWSTR name, const MSGQUEUEOPTIONS& options,
                                              bool* existed) {
    *existed = false;
    auto make = [&] {
        auto queue = std::make_shared<QueueState>();
        queue->flags = options.dwFlags;
        queue->max_messages = options.dwMaxMessages;
        queue->max_message_size = options.cbMaxMessage;
        return queue;
    };
    if (!name || !*name) {
        return make();
    }
    std::lock_guard guard(g_names_mutex);
    if (g_names_device != &Device::Current()) {
        g_names.clear();
        g_names_device = &Device::Current();
    }
    if (auto queue = g_names[name].lock()) {
        *existed = true;
        return queue;
    }
    auto queue = make();
    g_names[name] = queue;
    return queue;
}

std::shared_ptr<QueueEnd> EndOf(HANDLE handle) {
    return Handles().LookupAs<QueueEnd>(handle);
}

}  // namespace

bool IsMessageQueueReadEnd(HANDLE handle) {
    std::shared_ptr<QueueEnd> end = EndOf(handle);
    return end && end->reads();
}
}  // namespace tovarin::kernel

extern "C" {

HANDLE WINAPI CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions) {
    if (!lpOptions || lpOptions->dwSize < sizeof(MSGQUEUEOPTIONS)) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool existed = false;
    auto queue = FindOrCreateQueue(lpszName, *lpOptions, &existed);
    if (!existed && queue->max_message_size == 0) {
        SetError(ERROR_INVALID_PARAMETER);  // a new queue needs its message size
        return nullptr;
    }
    std::shared_ptr<QueueEnd> end;
    {
        Scheduler& scheduler = CurrentScheduler();
        std::lock_guard guard(scheduler.lock());
        end = std::make_shared<QueueEnd>(queue, lpOptions->bReadAccess != FALSE);
    }
    if (lpszName && *lpszName) {
        end->set_name(lpszName);
    }
    HANDLE handle = Handles().Insert(end);
    SetError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

HANDLE WINAPI OpenMsgQueue(HANDLE, HANDLE hMsgQ, LPMSGQUEUEOPTIONS lpOptions) {
    auto source = EndOf(hMsgQ);
    if (!source || !lpOptions) {
        SetError(source ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::shared_ptr<QueueEnd> end;
    {
        Scheduler& scheduler = CurrentScheduler();
        std::lock_guard guard(scheduler.lock());
        end = std::make_shared<QueueEnd>(source->shared_queue(), lpOptions->bReadAccess != FALSE);
    }
    return Handles().Insert(end);
}

BOOL WINAPI ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize,
                         LPDWORD lpNumberOfBytesRead, DWORD dwTimeout, DWORD* pdwFlags) {
    auto end = EndOf(hMsgQ);
    if (!end || !end->reads()) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpBuffer || cbBufferSize == 0 || !lpNumberOfBytesRead) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Scheduler& scheduler = CurrentScheduler();
    Waitable* objects[] = {end.get()};
    for (;;) {
        DWORD waited = scheduler.Wait(objects, false, dwTimeout, nullptr);
        if (waited == WAIT_TIMEOUT) {
            SetError(ERROR_TIMEOUT);
            return FALSE;
        }
        std::lock_guard guard(scheduler.lock());
        QueueState& queue = end->queue();
        if (queue.messages.empty()) {
            continue;  // another reader took it between the wait and here
        }
        Message message = std::move(queue.messages.front());
        queue.messages.pop_front();
        QueueEnd::Changed(scheduler, queue);
        DWORD copied = std::min<DWORD>(cbBufferSize, static_cast<DWORD>(message.bytes.size()));
        std::memcpy(lpBuffer, message.bytes.data(), copied);
        *lpNumberOfBytesRead = copied;
        if (pdwFlags) {
            *pdwFlags = message.flags;
        }
        if (copied < message.bytes.size()) {
            SetError(ERROR_INSUFFICIENT_BUFFER);  // the message is consumed, its tail is lost
            return FALSE;
        }
        return TRUE;
    }
}

BOOL WINAPI WriteMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbDataSize, DWORD dwTimeout,
                          DWORD dwFlags) {
    auto end = EndOf(hMsgQ);
    if (!end || end->reads()) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpBuffer || cbDataSize == 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Scheduler& scheduler = CurrentScheduler();
    Waitable* objects[] = {end.get()};
    for (;;) {
        {
            std::lock_guard guard(scheduler.lock());
            QueueState& queue = end->queue();
            if (cbDataSize > queue.max_message_size) {
                SetError(ERROR_INSUFFICIENT_BUFFER);
                return FALSE;
            }
            if (queue.readers == 0 && !(queue.flags & MSGQUEUE_ALLOW_BROKEN)) {
                SetError(ERROR_PIPE_NOT_CONNECTED);
                return FALSE;
            }
            if (!queue.Full()) {
                auto* bytes = static_cast<const uint8_t*>(lpBuffer);
                queue.messages.push_back({{bytes, bytes + cbDataSize}, dwFlags});
                QueueEnd::Changed(scheduler, queue);
                return TRUE;
            }
        }
        if (scheduler.Wait(objects, false, dwTimeout, nullptr) == WAIT_TIMEOUT) {
            SetError(ERROR_TIMEOUT);
            return FALSE;
        }
    }
}

BOOL WINAPI GetMsgQueueInfo(HANDLE hMsgQ, LPMSGQUEUEINFO lpInfo) {
    auto end = EndOf(hMsgQ);
    if (!end || !lpInfo) {
        SetError(end ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    QueueState& queue = end->queue();
    lpInfo->dwFlags = queue.flags;
    lpInfo->dwMaxMessages = queue.max_messages;
    lpInfo->cbMaxMessage = queue.max_message_size;
    lpInfo->dwCurrentMessages = static_cast<DWORD>(queue.messages.size());
    lpInfo->dwMaxQueueMessages = queue.max_messages;
    lpInfo->wNumReaders = static_cast<WORD>(queue.readers);
    lpInfo->wNumWriters = static_cast<WORD>(queue.writers);
    return TRUE;
}

BOOL WINAPI CloseMsgQueue(HANDLE hMsgQ) {
    if (!EndOf(hMsgQ)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(hMsgQ);
}

}  // extern "C"
