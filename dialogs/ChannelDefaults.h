#pragma once
#include <optional>

#include "image/ChannelRecord.h"

// The default channel the channel editor's "Save as default" keeps in the
// profile, as a record: what a blank channel gets when channels arrive from
// elsewhere (a paste, an imported table). Nothing while the profile does not
// allow the defaults (ALLOWDEFAULT 0).
std::optional<ChannelRecord> StoredDefaultChannel();
