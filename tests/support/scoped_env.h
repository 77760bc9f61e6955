// SPDX-License-Identifier: GPL-3.0-or-later
// Sets or unsets an environment variable for the life of a test and restores the previous value afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace testsupport {

class ScopedEnv {
public:
    // A missing value unsets the variable.
    ScopedEnv(std::string name, const std::optional<std::string>& value) : m_name(std::move(name)) {
        if (const char* old = std::getenv(m_name.c_str())) {
            m_previous = old;
        }
        apply(value);
    }
    ~ScopedEnv() { apply(m_previous); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void apply(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(m_name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(m_name.c_str());
        }
    }

    std::string m_name;
    std::optional<std::string> m_previous;
};

} // namespace testsupport
