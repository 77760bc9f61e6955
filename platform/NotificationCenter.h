// SPDX-License-Identifier: GPL-3.0-or-later
// Delivers named notifications synchronously, on the posting thread, to the observers registered for them.
#pragma once

#include "platform/Notification.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Every member may be called from any thread, also from inside a callback. Callbacks run without the
// centre's lock held, so they may post and add or remove observers themselves.
class NotificationCenter {
public:
    enum class ObserverToken : std::uint64_t {};
    using Callback = std::function<void(const Notification&)>;

    // The process-wide centre.
    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // Calls `callback` for every later post of `name` whose object is `object`, or of any object when
    // `object` is null. Several registrations of one callback are independent observers.
    ObserverToken addObserver(std::string name, const void* object, Callback callback);

    // When this returns, the observer is never called again and no call of it is running on any other
    // thread, so its owner may be destroyed right away; the callback itself has been destroyed too. From
    // inside the observer's own callback it does not wait for that call (it would wait for itself): the
    // call runs to its end and the callback is destroyed later, by whichever posting thread drops it last.
    // An unknown or already removed token is ignored. Two observers that remove each other from inside
    // their callbacks, running at once on two threads, would wait for each other.
    void removeObserver(ObserverToken token);

    // Calls, on this thread and before returning, every observer registered for `name` and `object` when
    // the post begins, in the order they were registered; one removed meanwhile is skipped. An exception
    // thrown by a callback propagates out of post, and the observers after it miss this notification.
    void post(std::string_view name, const void* object);

private:
    struct Observer;

    void deliver(Observer& observer, const Notification& notification);

    std::mutex m_mutex;
    std::condition_variable m_callFinished;
    std::vector<std::shared_ptr<Observer>> m_observers; // in registration order
    std::uint64_t m_nextToken = 1;
};

} // namespace platform
