// The fixture API of the simulated machine for files and the user's locale.
#include <mutex>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimState.h"

namespace kxp::sim {

namespace {

void PutEntry(detail::SimState& state, detail::SimFileEntry entry) {
    std::lock_guard lock(state.mutex);
    if (auto* found = detail::FindFileEntry(state.files, entry.path)) {
        *found = std::move(entry);
    } else {
        state.files.entries.push_back(std::move(entry));
    }
}

}  // namespace

void SimMachine::AddFile(const std::string& path, std::vector<std::uint8_t> contents) {
    PutEntry(State(), {path, false, std::move(contents)});
}

void SimMachine::AddDirectory(const std::string& path) {
    PutEntry(State(), {path, true, {}});
}

void SimMachine::SetUserDefaultLangID(std::uint16_t languageId) {
    std::lock_guard lock(State().mutex);
    State().files.userDefaultLangId = languageId;
}

std::vector<std::string> SimMachine::FilesRead() const {
    std::lock_guard lock(State().mutex);
    return State().files.reads;
}

}  // namespace kxp::sim
