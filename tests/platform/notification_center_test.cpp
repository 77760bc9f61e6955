// SPDX-License-Identifier: GPL-3.0-or-later
// The notification centre: who is called and in what order, removal, and posting from several threads.
#include "platform/NotificationCenter.h"
#include "platform/ObserverRegistration.h"

#include "tests/support/thread_flag.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::Notification;
using platform::NotificationCenter;
using platform::ObserverRegistration;
using Token = NotificationCenter::ObserverToken;

using testsupport::Flag;
using testsupport::kPatience;

TEST(NotificationCenterTest, DeliversByNameAndObjectFilterInRegistrationOrder) {
    const int x = 0;
    const int y = 0;
    struct Registration {
        const char* name;
        const void* object;
    };
    const std::vector<Registration> registrations = {
        {"A", nullptr}, {"A", &x}, {"B", nullptr}, {"A", &y}, {"A", nullptr}, {"AB", nullptr},
    };
    struct Post {
        const char* name;
        const void* object;
        const char* objectLabel;
        std::vector<int> called;
    };
    const std::vector<Post> posts = {
        {"A", &x, "x", {0, 1, 4}}, {"A", &y, "y", {0, 3, 4}},  {"A", nullptr, "null", {0, 4}},
        {"B", &x, "x", {2}},       {"C", nullptr, "null", {}}, {"", nullptr, "null", {}},
    };

    NotificationCenter center;
    std::vector<int> called;
    std::vector<Notification> received;
    for (std::size_t i = 0; i < registrations.size(); ++i) {
        center.addObserver(registrations[i].name, registrations[i].object, [&, i](const Notification& n) {
            called.push_back(static_cast<int>(i));
            received.push_back(n);
        });
    }
    for (const Post& post : posts) {
        SCOPED_TRACE(std::string("post \"") + post.name + "\" of " + post.objectLabel);
        called.clear();
        received.clear();
        center.post(post.name, post.object);
        EXPECT_EQ(called, post.called);
        for (const Notification& n : received) {
            EXPECT_EQ(n.name, post.name);
            EXPECT_EQ(n.object, post.object);
        }
    }
}

TEST(NotificationCenterTest, DefaultCenterIsOneProcessWideCentre) {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    EXPECT_EQ(&center, &NotificationCenter::defaultCenter());
    int calls = 0;
    const Token token =
        center.addObserver("DefaultCenterProbe", nullptr, [&](const Notification&) { ++calls; });
    std::thread([] { NotificationCenter::defaultCenter().post("DefaultCenterProbe", nullptr); }).join();
    center.removeObserver(token);
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenterTest, RemovedObserverIsNeverCalledAgainAndItsCallbackIsReleased) {
    NotificationCenter center;
    std::vector<std::string> called;
    auto captured = std::make_shared<int>(0);
    const std::weak_ptr<int> watch = captured;
    const Token first =
        center.addObserver("N", nullptr, [&called, captured = std::move(captured)](const Notification&) {
            called.push_back("first");
        });
    center.addObserver("N", nullptr, [&](const Notification&) { called.push_back("second"); });

    center.post("N", nullptr);
    center.removeObserver(first);
    EXPECT_TRUE(watch.expired());
    center.post("N", nullptr);
    center.removeObserver(first);                // already removed
    center.removeObserver(Token{0xdeadbeefULL}); // never issued
    center.post("N", nullptr);
    EXPECT_EQ(called, (std::vector<std::string>{"first", "second", "second", "second"}));
}

TEST(NotificationCenterTest, ObserverRegistrationRemovesWhenDestroyedAndMovesOwnership) {
    NotificationCenter center;
    int calls = 0;
    {
        ObserverRegistration outer;
        {
            ObserverRegistration inner(
                center, center.addObserver("N", nullptr, [&](const Notification&) { ++calls; }));
            outer = std::move(inner);
        } // the moved-from registration removes nothing
        center.post("N", nullptr);
        EXPECT_EQ(calls, 1);
    }
    center.post("N", nullptr);
    EXPECT_EQ(calls, 1);

    ObserverRegistration early(center,
                               center.addObserver("N", nullptr, [&](const Notification&) { ++calls; }));
    early.reset();
    center.post("N", nullptr);
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenterTest, PostsFromSeveralThreadsWhileObserversComeAndGo) {
    constexpr int kPosters = 4;
    constexpr int kPostsEach = 2000;
    NotificationCenter center;
    std::atomic<int> permanentCalls{0};
    const Token permanent = center.addObserver("N", nullptr, [&](const Notification&) { ++permanentCalls; });

    // Each transient observer's state dies right after its removal; a late call would touch freed memory
    // (caught by AddressSanitizer) or see `removed` set.
    struct Transient {
        std::atomic<bool> removed{false};
    };
    std::atomic<int> lateCalls{0};
    std::atomic<int> postersDone{0};
    std::vector<std::jthread> posters;
    for (int p = 0; p < kPosters; ++p) {
        posters.emplace_back([&] {
            for (int i = 0; i < kPostsEach; ++i) {
                center.post("N", nullptr);
            }
            ++postersDone;
        });
    }
    while (postersDone < kPosters) {
        auto state = std::make_unique<Transient>();
        Transient* raw = state.get();
        const Token token = center.addObserver("N", nullptr, [raw, &lateCalls](const Notification&) {
            if (raw->removed) {
                ++lateCalls;
            }
        });
        std::this_thread::yield();
        center.removeObserver(token);
        raw->removed = true;
        state.reset();
    }
    posters.clear();
    center.removeObserver(permanent);

    EXPECT_EQ(permanentCalls, kPosters * kPostsEach);
    EXPECT_EQ(lateCalls, 0);
}

TEST(NotificationCenterTest, RemoveObserverWaitsForACallRunningOnAnotherThread) {
    NotificationCenter center;
    struct State {
        Flag entered;
        Flag removing;
        bool finished = false;
    };
    auto state = std::make_unique<State>();
    State* raw = state.get();
    const Token token = center.addObserver("N", nullptr, [raw](const Notification&) {
        raw->entered.set();
        EXPECT_TRUE(raw->removing.waitSet());
        // Give a remover that does not wait every chance to return first.
        for (int i = 0; i < 10000; ++i) {
            std::this_thread::yield();
        }
        raw->finished = true;
    });

    std::jthread poster([&] { center.post("N", nullptr); });
    ASSERT_TRUE(raw->entered.waitSet());
    raw->removing.set();
    center.removeObserver(token);
    EXPECT_TRUE(raw->finished);
    state.reset(); // the owner may go right away; a call still running would now touch freed memory
}

TEST(NotificationCenterTest, ObserverMayRemoveItselfFromInsideItsCallback) {
    NotificationCenter center;
    std::vector<std::string> called;
    Token self{};
    self = center.addObserver("N", nullptr, [&](const Notification&) {
        called.push_back("self");
        center.removeObserver(self);
        called.push_back("self returned");
    });
    center.addObserver("N", nullptr, [&](const Notification&) { called.push_back("other"); });

    center.post("N", nullptr);
    center.post("N", nullptr);
    EXPECT_EQ(called, (std::vector<std::string>{"self", "self returned", "other", "other"}));
}

TEST(NotificationCenterTest, ObserverMayRemoveItselfFromANestedCallOfItself) {
    NotificationCenter center;
    int depth = 0;
    int calls = 0;
    Token self{};
    self = center.addObserver("N", nullptr, [&](const Notification&) {
        ++calls;
        ++depth;
        if (depth == 1) {
            center.post("N", nullptr); // calls this observer again, inside this call
        } else {
            center.removeObserver(self);
        }
        --depth;
    });
    center.post("N", nullptr);
    center.post("N", nullptr);
    EXPECT_EQ(calls, 2);
}

TEST(NotificationCenterTest, CallbackMayPostAndAddAndRemoveOtherObservers) {
    NotificationCenter center;
    std::vector<std::string> called;
    Token later{};
    center.addObserver("N", nullptr, [&](const Notification&) {
        called.push_back("first begins");
        center.post("M", nullptr);
        center.removeObserver(later);
        center.addObserver("N", nullptr, [&](const Notification&) { called.push_back("added"); });
        called.push_back("first ends");
    });
    center.addObserver("M", nullptr, [&](const Notification&) { called.push_back("M"); });
    later = center.addObserver("N", nullptr, [&](const Notification&) { called.push_back("later"); });

    center.post("N", nullptr); // "later" is removed before its turn; "added" came after the post began
    EXPECT_EQ(called, (std::vector<std::string>{"first begins", "M", "first ends"}));
}

TEST(NotificationCenterTest, ThrowingCallbackPropagatesAndCanStillBeRemoved) {
    NotificationCenter center;
    int laterCalls = 0;
    const Token thrower = center.addObserver(
        "N", nullptr, [](const Notification&) { throw std::runtime_error("observer failed"); });
    center.addObserver("N", nullptr, [&](const Notification&) { ++laterCalls; });

    EXPECT_THROW(center.post("N", nullptr), std::runtime_error);
    EXPECT_EQ(laterCalls, 0);
    center.removeObserver(thrower); // would wait forever if the failed call still counted as running
    center.post("N", nullptr);
    EXPECT_EQ(laterCalls, 1);
}

} // namespace
