// Drawing objects a process leaves behind: counted while it runs, reported in the device's
// trace when it ends ("GDI: ..."), and then freed.
#pragma once

#include <cstdint>
#include <string>

namespace tovarin::gwes {

class WindowManager;

// Traces what the ended process left ("GDI: IMAGE ended with objects not freed: ...") and frees
// it.
void ReclaimGdiObjects(WindowManager& wm, uint32_t process_id, const std::wstring& image);

// The drawing objects (brushes, pens, fonts, bitmaps, device contexts, image lists) the process
// made and has not freed.
int LiveGdiObjects(uint32_t process_id);

// The text of the report for what a process left, e.g. "2 brushes, 1 bitmap"; empty when none.
std::wstring DescribeLeftObjects(uint32_t process_id);

}  // namespace tovarin::gwes
