// The size of the control panel's path buffers, which every part of it passes around.
#pragma once

// Characters of a path buffer, terminator included.
const int kPathChars = 260;
