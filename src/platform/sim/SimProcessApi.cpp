#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {

bool SimProcessApi::TrimWorkingSet() {
    std::lock_guard lock(state_.mutex);
    ++state_.trimCount;
    return true;
}

std::string SimProcessApi::ModuleFileName() {
    std::lock_guard lock(state_.mutex);
    return state_.moduleFileName;
}

void SimProcessApi::OutputDebugStringA(const std::string& text) {
    std::lock_guard lock(state_.mutex);
    state_.debugOutput.push_back(text);
}

bool SimProcessApi::SetPriorityClass(std::uint32_t priorityClass) {
    std::lock_guard lock(state_.mutex);
    state_.priorityClasses.push_back(priorityClass);
    return true;
}

void SimProcessApi::ExitProcess(std::uint32_t exitCode) {
    throw SimProcessExit{exitCode};
}

}  // namespace kxp::sim::detail
