// The XML document object model under its older header name; the declarations are in msxml2.h.
#pragma once

#include <msxml2.h>
