// SPDX-License-Identifier: GPL-3.0-or-later
// Delivers named notifications synchronously, on the posting thread, to the observers registered for them.
#include "platform/NotificationCenter.h"

#include <algorithm>
#include <utility>

namespace platform {

struct NotificationCenter::Observer {
    ObserverToken token;
    std::string name;
    const void* object;
    Callback callback;
    // Both guarded by the centre's mutex.
    bool removed = false;
    int activeCalls = 0;
};

namespace {

// The callbacks running on this thread, innermost first, so that removeObserver can tell a call it must
// wait for from one it is nested in.
struct CallFrame {
    const void* observer;
    const CallFrame* outer;
};

thread_local const CallFrame* t_innermostCall = nullptr;

int callsOnThisThread(const void* observer) {
    int calls = 0;
    for (const CallFrame* frame = t_innermostCall; frame != nullptr; frame = frame->outer) {
        if (frame->observer == observer) {
            ++calls;
        }
    }
    return calls;
}

} // namespace

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::ObserverToken NotificationCenter::addObserver(std::string name, const void* object,
                                                                  Callback callback) {
    std::lock_guard lock(m_mutex);
    const ObserverToken token{m_nextToken++};
    m_observers.push_back(std::make_shared<Observer>(Observer{
        .token = token, .name = std::move(name), .object = object, .callback = std::move(callback)}));
    return token;
}

void NotificationCenter::removeObserver(ObserverToken token) {
    Callback doomed; // destroyed after the lock is released: what it captured may use the centre
    std::unique_lock lock(m_mutex);
    const auto found =
        std::find_if(m_observers.begin(), m_observers.end(),
                     [token](const std::shared_ptr<Observer>& o) { return o->token == token; });
    if (found == m_observers.end()) {
        return;
    }
    const std::shared_ptr<Observer> observer = std::move(*found);
    m_observers.erase(found);
    observer->removed = true;

    const int ownCalls = callsOnThisThread(observer.get());
    m_callFinished.wait(lock, [&] { return observer->activeCalls == ownCalls; });
    if (ownCalls == 0) {
        doomed.swap(observer->callback);
    }
    lock.unlock();
}

void NotificationCenter::post(std::string_view name, const void* object) {
    // A snapshot, so that callbacks run without the lock and may change the registrations.
    std::vector<std::shared_ptr<Observer>> matching;
    {
        std::lock_guard lock(m_mutex);
        for (const std::shared_ptr<Observer>& observer : m_observers) {
            if (observer->name == name && (observer->object == nullptr || observer->object == object)) {
                matching.push_back(observer);
            }
        }
    }
    const Notification notification{name, object};
    for (const std::shared_ptr<Observer>& observer : matching) {
        deliver(*observer, notification);
    }
}

void NotificationCenter::deliver(Observer& observer, const Notification& notification) {
    {
        std::lock_guard lock(m_mutex);
        if (observer.removed) {
            return;
        }
        ++observer.activeCalls;
    }

    // Ends the call also when the callback throws, so a remover waiting for it is released.
    struct CallScope {
        NotificationCenter& center;
        Observer& observer;
        CallFrame frame;

        ~CallScope() {
            t_innermostCall = frame.outer;
            std::lock_guard lock(center.m_mutex);
            --observer.activeCalls;
            if (observer.removed) {
                center.m_callFinished.notify_all();
            }
        }
    } scope{*this, observer, CallFrame{&observer, t_innermostCall}};
    t_innermostCall = &scope.frame;

    observer.callback(notification);
}

} // namespace platform
