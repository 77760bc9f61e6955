// SPDX-License-Identifier: GPL-3.0-or-later
// Runs operations on a pool of worker threads, several at once, in the order they were added.
#include "platform/OperationQueue.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace platform {

namespace {

void runSwallowingExceptions(Operation& operation) {
    try {
        operation.main();
    } catch (...) {
        // An operation that lets an exception escape has failed on its own terms; the other operations
        // and the workers that run them must not go down with it.
    }
}

} // namespace

std::size_t OperationQueue::defaultThreadCount() {
    return std::max<std::size_t>(2, std::thread::hardware_concurrency());
}

OperationQueue::OperationQueue(std::size_t threadCount)
    : m_threadCount(std::max<std::size_t>(1, threadCount)) {}

OperationQueue::~OperationQueue() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_workAvailable.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
}

void OperationQueue::addOperation(std::unique_ptr<Operation> operation) {
    if (!operation) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_workers.empty()) {
            startWorkers();
        }
        m_queued.push_back(std::move(operation));
        ++m_unfinished;
    }
    m_workAvailable.notify_one();
}

void OperationQueue::cancelAllOperations() {
    std::lock_guard lock(m_mutex);
    for (const std::unique_ptr<Operation>& operation : m_queued) {
        operation->cancel();
    }
    for (Operation* operation : m_running) {
        operation->cancel();
    }
}

void OperationQueue::waitUntilAllOperationsAreFinished() {
    std::unique_lock lock(m_mutex);
    m_allFinished.wait(lock, [this] { return m_unfinished == 0; });
}

std::size_t OperationQueue::operationCount() const {
    std::lock_guard lock(m_mutex);
    return m_unfinished;
}

// Called with m_mutex held.
void OperationQueue::startWorkers() {
    m_workers.reserve(m_threadCount);
    for (std::size_t i = 0; i < m_threadCount; ++i) {
        try {
            m_workers.emplace_back([this] { workerLoop(); });
        } catch (const std::system_error&) {
            // Fewer workers than asked for still run everything; none at all would leave work stranded.
            if (m_workers.empty()) {
                throw;
            }
            break;
        }
    }
}

void OperationQueue::workerLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workAvailable.wait(lock, [this] { return !m_queued.empty() || m_stopping; });
        if (m_queued.empty()) {
            return; // stopping, and everything added has been taken
        }
        std::unique_ptr<Operation> operation = std::move(m_queued.front());
        m_queued.pop_front();
        m_running.push_back(operation.get());
        lock.unlock();

        runSwallowingExceptions(*operation);

        // Out of m_running before it dies, so cancelAllOperations never touches a destroyed operation;
        // destroyed without the lock, since a destructor may do slow work or use the queue.
        lock.lock();
        std::erase(m_running, operation.get());
        lock.unlock();
        operation.reset();

        lock.lock();
        if (--m_unfinished == 0) {
            m_allFinished.notify_all();
        }
    }
}

} // namespace platform
