// A census of the device's live objects, for host code that checks that nothing piles up (the
// soak compares one census with another after thousands of calls). Host side: deliverables never
// include it.
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace tovarin::diagnostics {

struct LiveObjects {
    size_t handles = 0;  // kernel handles open (events, threads, queues, ...)
    std::map<std::string, size_t> handles_by_type;  // the same, by the type of their object
    size_t device_threads = 0;                      // device threads started and not ended
    size_t windows = 0;                             // windows not destroyed
    size_t timers = 0;                              // window timers set and not killed
    size_t registry_keys = 0;                       // registry keys open
    size_t registry_notifications = 0;              // change notifications not closed
    size_t local_blocks = 0;                        // LocalAlloc blocks not freed
    size_t critical_sections = 0;                   // sections initialised and not deleted

    bool operator==(const LiveObjects&) const = default;
};

// The census of the device that is up. Takes the locks it needs; call it while the device is
// idle, so that the figures are not in the middle of a change.
LiveObjects CountLiveObjects();

// "handles 12, device threads 5, ..." for a report.
std::string Describe(const LiveObjects& objects);

}  // namespace tovarin::diagnostics
