// Runs several operations one after another on one worker, so that they never touch one file at once.
#pragma once

#include "platform/Operation.h"

#include <memory>
#include <vector>

namespace engine {

class OperationChain final : public platform::Operation {
public:
    explicit OperationChain(std::vector<std::unique_ptr<platform::Operation>> steps);

    // Each step runs its own main() in turn, so each still reports for itself; a cancellation of the
    // chain reaches every step that has not started yet.
    void main() override;

private:
    std::vector<std::unique_ptr<platform::Operation>> m_steps;
};

} // namespace engine
