// The one definition of every GUID that the platform's headers declare with DEFINE_GUID.
#define INITGUID
#include <unknwn.h>
#include <oleauto.h>
#include <msxml2.h>
