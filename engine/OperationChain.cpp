// Sequential execution of operations that share a file.
#include "engine/OperationChain.h"

#include <utility>

namespace engine {

OperationChain::OperationChain(std::vector<std::unique_ptr<platform::Operation>> steps)
    : m_steps(std::move(steps)) {}

void OperationChain::main() {
    for (auto& step : m_steps) {
        if (isCancelled()) {
            step->cancel();
        }
        step->main();
        step.reset();
    }
}

} // namespace engine
