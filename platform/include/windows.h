// The device SDK's umbrella header.
#pragma once

#include <windef.h>
#include <winerror.h>
#include <winbase.h>
#include <winnls.h>
#include <kfuncs.h>
#include <winreg.h>
#include <wingdi.h>
#include <winuser.h>
#include <dbgapi.h>
#include <mmsystem.h>
