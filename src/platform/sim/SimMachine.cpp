#include "platform/sim/SimMachine.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/sim/SimFiles.h"
#include "platform/sim/SimHeap.h"
#include "platform/sim/SimNativeImages.h"
#include "platform/sim/SimServices.h"

namespace kxp::sim {

using detail::ToLower;

class SimMachine::Impl {
  public:
    Impl() {
        for (auto root : {platform::RegistryRoot::LocalMachine, platform::RegistryRoot::Users,
                          platform::RegistryRoot::CurrentUser, platform::RegistryRoot::DynData}) {
            detail::EnsureRegistryKey(state, detail::RegistryKeyName(root, ""));
        }
    }

    detail::SimState state;
    detail::SimClock clock{state};
    detail::SimSystemInformation system{state};
    detail::SimRegistry registry{state};
    detail::SimWindows windows{state};
    detail::SimProcessApi process{state};
    detail::SimServiceHost services{state};
    detail::SimPrivileges privileges{state};
    detail::SimHeap heap;
    detail::SimSecurity security{state};
    detail::SimFiles files{state};
    SimDesktop desktop;
    SimMenus menus;
    platform::Platform platform{clock,    system,     registry, windows,  process,
                                services, privileges, heap,     security, files,
                                desktop,  desktop,    desktop,  desktop,  menus};
};

SimMachine::SimMachine() : impl_(std::make_unique<Impl>()) {}
SimMachine::~SimMachine() = default;

platform::Platform& SimMachine::platform() {
    return impl_->platform;
}

SimDesktop& SimMachine::Desktop() {
    return impl_->desktop;
}

SimMenus& SimMachine::Menus() {
    return impl_->menus;
}

detail::SimState& SimMachine::State() const {
    return impl_->state;
}

std::uint32_t SimMachine::Now() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.Now();
}

void SimMachine::SetNow(std::uint32_t tick) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.tickOffset = tick - static_cast<std::uint32_t>(impl_->state.elapsedMs);
}

void SimMachine::At(std::uint32_t tick, std::function<void()> action) {
    auto& state = impl_->state;
    std::lock_guard lock(state.mutex);
    const auto ahead = static_cast<std::int32_t>(tick - state.Now());
    state.actions.emplace(state.elapsedMs + static_cast<std::uint64_t>(std::max(ahead, 0)),
                          std::move(action));
}

std::uint64_t SimMachine::TotalSleptMs() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.sleptMs;
}

void SimMachine::SetMemory(std::uint64_t totalPhys, std::uint64_t availPhys,
                           std::uint64_t totalPageFile, std::uint64_t availPageFile) {
    // The whole user address space of an x64 process.
    constexpr std::uint64_t kVirtualSize = 0x7FFFFFFE0000;
    std::lock_guard lock(impl_->state.mutex);
    auto& memory = impl_->state.memory;
    const std::uint64_t used = availPhys < totalPhys ? totalPhys - availPhys : 0;
    memory.dwMemoryLoad = totalPhys == 0
                              ? 0
                              : static_cast<std::uint32_t>(100.0 * static_cast<double>(used) /
                                                           static_cast<double>(totalPhys));
    memory.ullTotalPhys = totalPhys;
    memory.ullAvailPhys = availPhys;
    memory.ullTotalPageFile = totalPageFile;
    memory.ullAvailPageFile = availPageFile;
    memory.ullTotalVirtual = kVirtualSize;
    memory.ullAvailVirtual = kVirtualSize;
}

void SimMachine::SetProcessorCount(std::uint32_t count) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.processorCount = count;
}

void SimMachine::SetProcesses(std::vector<SimProcess> processes) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.processes = std::move(processes);
    impl_->state.rawProcesses.reset();
}

void SimMachine::SetProcessorIdleTimes(std::vector<std::int64_t> idleTimes) {
    std::vector<SimProcessorTimes> times;
    for (std::int64_t idle : idleTimes) times.push_back({idle, idle, 0});
    SetProcessorTimes(std::move(times));
}

void SimMachine::SetProcessorTimes(std::vector<SimProcessorTimes> times) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.processorTimes = std::move(times);
}

void SimMachine::SetPlatformId(std::uint32_t platformId) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.platformId = platformId;
}

void SimMachine::FailVersionQuery(bool fail) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.versionQueryFails = fail;
}

void SimMachine::SetPerformanceData(std::vector<std::uint8_t> block, std::uint32_t error) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.performanceData = std::move(block);
    impl_->state.performanceDataError = error;
}

std::vector<std::pair<std::string, std::uint32_t>> SimMachine::PerformanceDataQueries() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.performanceDataQueries;
}

void SimMachine::SetPageFiles(std::vector<SimPageFile> pageFiles) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.pageFiles = std::move(pageFiles);
}

void SimMachine::SetFileCache(const platform::SystemFileCacheInformation64& info) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.fileCache = info;
}

void SimMachine::FailQuery(std::uint32_t informationClass, std::uint32_t status) {
    std::lock_guard lock(impl_->state.mutex);
    if (status == platform::kStatusSuccess) {
        impl_->state.failures.erase(informationClass);
    } else {
        impl_->state.failures[informationClass] = status;
    }
}

void SimMachine::SetRawProcessBuffer(std::vector<std::uint8_t> bytes) {
    SetRawProcessBuffer(SimRawProcessBuffer{std::move(bytes), {}});
}

void SimMachine::SetRawProcessBuffer(SimRawProcessBuffer raw) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.rawProcesses = std::move(raw);
}

SimRawProcessBuffer SimMachine::ProcessBufferImage(const std::vector<SimProcess>& processes) {
    return detail::ProcessImage(processes);
}

int SimMachine::QueryCount(std::uint32_t informationClass) const {
    return static_cast<int>(QueryLengths(informationClass).size());
}

std::vector<std::uint32_t> SimMachine::QueryLengths(std::uint32_t informationClass) const {
    std::lock_guard lock(impl_->state.mutex);
    const auto& lengths = impl_->state.queryLengths;
    const auto found = lengths.find(informationClass);
    return found == lengths.end() ? std::vector<std::uint32_t>{} : found->second;
}

std::optional<platform::SystemFileCacheInformation64> SimMachine::LastFileCacheSet() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.lastFileCacheSet;
}

int SimMachine::FileCacheSetCount() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.fileCacheSetCount;
}

void SimMachine::SetValue(platform::RegistryRoot root, const std::string& path,
                          const std::string& name, SimRegistryValue value) {
    std::lock_guard lock(impl_->state.mutex);
    auto& key = detail::EnsureRegistryKey(impl_->state, detail::RegistryKeyName(root, path));
    key.values[ToLower(name)] = std::move(value);
}

void SimMachine::SetDword(platform::RegistryRoot root, const std::string& path,
                          const std::string& name, std::uint32_t value) {
    std::vector<std::uint8_t> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    SetValue(root, path, name, SimRegistryValue{platform::kRegDword, std::move(data)});
}

void SimMachine::SetString(platform::RegistryRoot root, const std::string& path,
                           const std::string& name, const std::string& value) {
    std::vector<std::uint8_t> data(value.begin(), value.end());
    data.push_back(0);
    SetValue(root, path, name, SimRegistryValue{platform::kRegSz, std::move(data)});
}

void SimMachine::CreateKey(platform::RegistryRoot root, const std::string& path) {
    std::lock_guard lock(impl_->state.mutex);
    detail::EnsureRegistryKey(impl_->state, detail::RegistryKeyName(root, path));
}

std::optional<SimRegistryValue> SimMachine::GetValue(platform::RegistryRoot root,
                                                     const std::string& path,
                                                     const std::string& name) const {
    std::lock_guard lock(impl_->state.mutex);
    const auto& keys = impl_->state.keys;
    const auto key = keys.find(detail::RegistryKeyName(root, path));
    if (key == keys.end()) return std::nullopt;
    const auto value = key->second.values.find(ToLower(name));
    if (value == key->second.values.end()) return std::nullopt;
    return value->second;
}

bool SimMachine::KeyExists(platform::RegistryRoot root, const std::string& path) const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.keys.contains(detail::RegistryKeyName(root, path));
}

int SimMachine::OpenKeyCount() const {
    std::lock_guard lock(impl_->state.mutex);
    return static_cast<int>(impl_->state.openKeys.size());
}

void SimMachine::RefuseRegistryWrites(bool refuse) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.refuseRegistryWrites = refuse;
}

platform::Handle SimMachine::AddWindow(const std::string& className, const std::string& title,
                                       bool hung) {
    std::lock_guard lock(impl_->state.mutex);
    auto& state = impl_->state;
    const platform::Handle handle = state.nextWindow;
    state.nextWindow += 0x10;
    detail::SimWindow window;
    window.handle = handle;
    window.className = className;
    window.title = title;
    window.hung = hung;
    state.windows.push_back(std::move(window));
    return handle;
}

void SimMachine::RemoveWindow(platform::Handle window) {
    std::lock_guard lock(impl_->state.mutex);
    std::erase_if(impl_->state.windows,
                  [window](const detail::SimWindow& w) { return w.handle == window; });
}

void SimMachine::SetHung(platform::Handle window, bool hung) {
    std::lock_guard lock(impl_->state.mutex);
    if (auto* found = impl_->state.FindWindowByHandle(window)) found->hung = hung;
}

std::vector<SimMessage> SimMachine::Inbox(platform::Handle window) const {
    std::lock_guard lock(impl_->state.mutex);
    const auto* found = impl_->state.FindWindowByHandle(window);
    return found != nullptr ? found->inbox : std::vector<SimMessage>{};
}

std::optional<std::uint32_t> SimMachine::RegisteredMessage(const std::string& name) const {
    std::lock_guard lock(impl_->state.mutex);
    const auto& ids = impl_->state.registeredMessages;
    const auto found = ids.find(ToLower(name));
    return found == ids.end() ? std::nullopt : std::optional<std::uint32_t>(found->second);
}

int SimMachine::PumpCount() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.pumpCount;
}

std::vector<SimMessageBox> SimMachine::MessageBoxes() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.messageBoxes;
}

int SimMachine::TrimCount() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.trimCount;
}

std::vector<std::string> SimMachine::DebugOutput() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.debugOutput;
}

void SimMachine::SetModuleFileName(const std::string& path) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.moduleFileName = path;
}

std::vector<std::uint32_t> SimMachine::PriorityClasses() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.priorityClasses;
}

void SimMachine::SetHeldPrivileges(const std::vector<std::string>& names) {
    std::set<std::string> held;
    for (const auto& name : names) held.insert(detail::CanonicalPrivilegeName(name));
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.token.held = std::move(held);
}

void SimMachine::FailTokenOpen(bool fail) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.token.failOpen = fail;
}

std::vector<std::string> SimMachine::PrivilegeAdjustments() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.token.adjustments;
}

bool SimMachine::PrivilegeEnabled(const std::string& name) const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.token.enabled.contains(detail::CanonicalPrivilegeName(name));
}

int SimMachine::OpenTokenCount() const {
    std::lock_guard lock(impl_->state.mutex);
    return static_cast<int>(impl_->state.token.openTokens.size());
}

void SimMachine::SetHeapLimit(std::uint64_t bytes) {
    impl_->heap.SetLimit(bytes);
}

void SimMachine::FailHeapRequests(int count) {
    impl_->heap.FailRequests(count);
}

std::vector<std::uint64_t> SimMachine::HeapRequests() const {
    return impl_->heap.Requests();
}

std::vector<SimHeapRelease> SimMachine::HeapReleases() const {
    return impl_->heap.Releases();
}

int SimMachine::HeapBlocksInUse() const {
    return impl_->heap.BlocksInUse();
}

int SimMachine::HeapBadFrees() const {
    return impl_->heap.BadFrees();
}

std::vector<SimStatusReport> SimMachine::StatusReports() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.statusReports;
}

std::optional<SimInstalledService> SimMachine::InstalledService(const std::string& name) const {
    std::lock_guard lock(impl_->state.mutex);
    const auto& services = impl_->state.services;
    const auto found = services.find(ToLower(name));
    return found == services.end() ? std::nullopt
                                   : std::optional<SimInstalledService>(found->second);
}

void SimMachine::FailServiceInstall(std::uint32_t errorCode) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.installFailure = errorCode;
}

void SimMachine::SetStartedByServiceManager(bool started) {
    std::lock_guard lock(impl_->state.mutex);
    impl_->state.startedByServiceManager = started;
}

std::optional<std::uint32_t> SimMachine::SendControl(std::uint32_t code) {
    auto& state = impl_->state;
    platform::ServiceEntry* entry = nullptr;
    {
        std::lock_guard lock(state.mutex);
        if (state.runningEntry == nullptr) return std::nullopt;
        entry = state.runningEntry;
        ++state.controlsInFlight;
    }
    struct Done {
        detail::SimState& state;
        ~Done() {
            std::lock_guard lock(state.mutex);
            --state.controlsInFlight;
            state.controlsDone.notify_all();
        }
    } done{state};
    return entry->Control(code);
}

std::vector<std::string> SimMachine::EventLog() const {
    std::lock_guard lock(impl_->state.mutex);
    return impl_->state.eventLog;
}

}  // namespace kxp::sim
