// The SIP stack's headers (libre, librem), for the line's own files only. They define min and
// max as macros, which would break the standard library's functions of those names.
#pragma once

#include <re.h>
#include <rem.h>

#undef min
#undef max
