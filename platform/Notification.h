// SPDX-License-Identifier: GPL-3.0-or-later
// What an observer of the notification centre is handed when a notification is posted.
#pragma once

#include <string_view>

namespace platform {

// Valid only during the callback: `name` views the poster's string.
struct Notification {
    std::string_view name;
    const void* object; // the poster's identity; compared, never dereferenced by the centre
};

} // namespace platform
