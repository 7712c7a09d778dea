// The fixture API of the simulated machine for the window watch and for processes, tokens,
// impersonation and profiles.
#include <mutex>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimState.h"

namespace kxp::sim {

namespace {

template <typename Change>
void ChangeWindow(detail::SimState& state, platform::Handle window, Change change) {
    std::lock_guard lock(state.mutex);
    if (auto* found = state.FindWindowByHandle(window)) change(*found);
}

}  // namespace

void SimMachine::SetWindowOwner(platform::Handle window, std::uint32_t processId) {
    ChangeWindow(State(), window, [&](detail::SimWindow& w) { w.processId = processId; });
}

void SimMachine::SetWindowRect(platform::Handle window, const platform::Rect& rect) {
    ChangeWindow(State(), window, [&](detail::SimWindow& w) { w.rect = rect; });
}

void SimMachine::SetWindowExStyle(platform::Handle window, std::int32_t exStyle) {
    ChangeWindow(State(), window, [&](detail::SimWindow& w) { w.exStyle = exStyle; });
}

void SimMachine::SetWindowVisible(platform::Handle window, bool visible) {
    ChangeWindow(State(), window, [&](detail::SimWindow& w) { w.visible = visible; });
}

void SimMachine::SetForegroundWindow(platform::Handle window) {
    std::lock_guard lock(State().mutex);
    State().windowWatch.foreground = window;
}

void SimMachine::SetDesktopWindow(platform::Handle window) {
    std::lock_guard lock(State().mutex);
    State().windowWatch.desktop = window;
}

void SimMachine::SetScreenSize(std::int32_t width, std::int32_t height) {
    std::lock_guard lock(State().mutex);
    State().windowWatch.screenWidth = width;
    State().windowWatch.screenHeight = height;
}

std::optional<platform::Rect> SimMachine::WindowRect(platform::Handle window) const {
    std::lock_guard lock(State().mutex);
    const auto* found = State().FindWindowByHandle(window);
    return found == nullptr ? std::nullopt : std::optional<platform::Rect>(found->rect);
}

std::vector<SimWindowMove> SimMachine::WindowMoves() const {
    std::lock_guard lock(State().mutex);
    return State().windowWatch.moves;
}

std::vector<std::string> SimMachine::WindowWatchCalls() const {
    std::lock_guard lock(State().mutex);
    return State().windowWatch.calls;
}

void SimMachine::SetProcessOwner(std::uint32_t processId, SimAccount account) {
    std::lock_guard lock(State().mutex);
    State().security.owners[processId] = std::move(account);
}

void SimMachine::FailSecurityCall(SimSecurityCall call, std::uint32_t error) {
    std::lock_guard lock(State().mutex);
    if (error == 0) {
        State().security.failures.erase(call);
    } else {
        State().security.failures[call] = error;
    }
}

void SimMachine::SetProcessOpenable(std::uint32_t processId, bool openable) {
    std::lock_guard lock(State().mutex);
    if (openable) {
        State().security.unopenable.erase(processId);
    } else {
        State().security.unopenable.insert(processId);
    }
}

std::vector<std::uint32_t> SimMachine::OpenedProcesses() const {
    std::lock_guard lock(State().mutex);
    return State().security.openedProcesses;
}

std::vector<std::uint32_t> SimMachine::TerminatedProcesses() const {
    std::lock_guard lock(State().mutex);
    return State().security.terminated;
}

int SimMachine::OpenSecurityHandleCount() const {
    std::lock_guard lock(State().mutex);
    return static_cast<int>(State().security.handles.size());
}

int SimMachine::ImpersonationCount() const {
    std::lock_guard lock(State().mutex);
    return State().security.impersonations;
}

int SimMachine::ImpersonatingThreadCount() const {
    std::lock_guard lock(State().mutex);
    return static_cast<int>(State().security.impersonating.size());
}

std::vector<SimProfileLoad> SimMachine::ProfileLoads() const {
    std::lock_guard lock(State().mutex);
    return State().security.profileLoads;
}

int SimMachine::LoadedProfileCount() const {
    std::lock_guard lock(State().mutex);
    return static_cast<int>(State().security.loadedProfiles.size());
}

std::vector<SimCreatedProcess> SimMachine::CreatedProcesses() const {
    std::lock_guard lock(State().mutex);
    return State().security.createdProcesses;
}

}  // namespace kxp::sim
