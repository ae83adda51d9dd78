// The audio ends' choice of device: the "DeviceName" a filter's property bag gives it
// (IPersistPropertyBag::Load), as the capture filter and the renderer both take it.
#pragma once

#include <dshow.h>

#include <string>

namespace tovarin::media {

// The bag's "DeviceName" string; empty without a bag or without that value.
std::wstring ReadDeviceName(IPropertyBag* bag, IErrorLog* log);

}  // namespace tovarin::media
