// Whether the calling thread has initialised the component library.
#pragma once

namespace tovarin::com {

bool IsInitializedOnCurrentThread();

}  // namespace tovarin::com
