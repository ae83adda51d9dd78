#include "gwes/messages/message_log.h"

#include "gwes/windows/window_class.h"
#include "host/device_log.h"

namespace tovarin::gwes {

void RecordMessageFromOtherThread(const Window& window, UINT message, WPARAM wparam, LPARAM lparam,
                                  bool posted) {
    kernel::Record(kernel::MessageRecord{
        .window_class = window.window_class->name,
        .window_title = window.title,
        .message = message,
        .wparam = static_cast<uint64_t>(wparam),
        .lparam = static_cast<int64_t>(lparam),
        .posted = posted,
    });
}

}  // namespace tovarin::gwes
