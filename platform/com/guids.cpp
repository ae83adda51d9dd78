// The one definition of every GUID that the platform's headers declare with DEFINE_GUID.
#define INITGUID
#include <unknwn.h>
#include <oleauto.h>
#include <msxml2.h>
#include <dshow.h>
#include <dmo.h>
#include <dmodshow.h>
