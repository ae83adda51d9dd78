// Every name that the deliverables share: include this one header. Deliverables take their
// registry paths, value names, event and queue names, window classes and titles, program and
// library names, folders, sound files and defaults from here and never repeat the literals.
#pragma once

#include "common/device_names.h"
#include "common/event_names.h"
#include "common/folder_names.h"
#include "common/list_file_names.h"
#include "common/program_names.h"
#include "common/registry_names.h"
#include "common/settings_defaults.h"
#include "common/sound_names.h"
#include "common/window_names.h"
