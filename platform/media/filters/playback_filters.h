// The filters that play a file: a source for AMR-NB and WAVE files, the AMR-NB decoder and the
// audio renderer. The filter graph's RenderFile chains them.
#pragma once

#include <dshow.h>

#include "com/com_ptr.h"

namespace tovarin::media {

class FilterBase;

// Each returns a new filter with one reference, or nullptr when out of memory.
FilterBase* NewFileSource();
FilterBase* NewAmrDecoder();
FilterBase* NewAudioRenderer();

}  // namespace tovarin::media
