// SPDX-License-Identifier: GPL-3.0-or-later
// Words for system errors.
#include "platform/ErrorText.h"

#include <cctype>
#include <cerrno>
#include <system_error>

namespace platform {

std::string errorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "permission denied";
    case ENOENT:
        return "no such file";
    case EROFS:
        return "read-only file system";
    case ENOSPC:
    case EDQUOT:
        return "no space left";
    case EBUSY:
    case ETXTBSY:
        return "in use";
    case EIO:
        return "input/output error";
    default:
        break;
    }
    std::string text = std::generic_category().message(error);
    if (!text.empty()) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    return text;
}

} // namespace platform
