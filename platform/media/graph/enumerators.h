// The enumerator objects that filters and pins hand out: snapshots taken when they are made.
#pragma once

#include <dshow.h>

#include <vector>

#include "media/graph/media_type.h"

namespace tovarin::media {

// Each holds its own reference to every item.
IEnumPins* NewPinEnumerator(const std::vector<IPin*>& pins);
IEnumFilters* NewFilterEnumerator(const std::vector<IBaseFilter*>& filters);
IEnumMediaTypes* NewMediaTypeEnumerator(std::vector<MediaType> types);

}  // namespace tovarin::media
