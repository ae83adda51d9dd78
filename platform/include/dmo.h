// Media objects: the interfaces, the categories and the runtime's media type helpers.
#pragma once

#include <mediaobj.h>
#include <dmoreg.h>
#include <dmort.h>
