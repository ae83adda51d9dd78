// The component object library together with the automation types.
#pragma once

#include <objbase.h>
#include <oleauto.h>
