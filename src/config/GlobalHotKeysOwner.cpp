#include "config/GlobalHotKeysOwner.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace kxp {

GlobalHotKeysOwner::GlobalHotKeysOwner(platform::Windows& windows,
                                       TGlobalHotKeys::HotKeyEvent onHotKey)
    : windows_(windows), onHotKey_(std::move(onHotKey)) {}

GlobalHotKeysOwner::~GlobalHotKeysOwner() {
    State state = state_.Update([](State& s) { return std::move(s); });
    state.current.reset();
    state.retired.clear();
}

void GlobalHotKeysOwner::Build(const std::function<bool(TGlobalHotKeys&)>& fill) {
    const auto self = std::this_thread::get_id();
    std::vector<Component> doomed;
    TGlobalHotKeys* component = state_.Update([&](State& s) -> TGlobalHotKeys* {
        doomed = TakeRetiredOf(s, self);
        return s.current && s.current->Thread() == self ? s.current.get() : nullptr;
    });
    doomed.clear();
    if (component == nullptr) {
        auto made = std::make_unique<TGlobalHotKeys>(windows_);
        made->SetOnHotKey(onHotKey_);
        component = made.get();
        state_.Update([&](State& s) {
            if (s.current) Retire(s, std::move(s.current), doomed);
            s.current = std::move(made);
            ++s.generation;
            s.activationPending = false;
        });
        doomed.clear();
    }
    // Only this thread destroys its own component, so it stays alive while this runs even if
    // another thread releases it meanwhile.
    const bool activate = fill(*component);
    const bool now = state_.Update([&](State& s) {
        if (s.current.get() != component) return false;
        s.activationPending = activate && OthersRetired(s, self);
        return activate && !s.activationPending;
    });
    if (now) component->SetActive(true);
}

void GlobalHotKeysOwner::Release() {
    std::vector<Component> doomed;
    state_.Update([&](State& s) {
        doomed = TakeRetiredOf(s, std::this_thread::get_id());
        s.activationPending = false;
        if (s.current) Retire(s, std::move(s.current), doomed);
    });
}

void GlobalHotKeysOwner::Retire(State& state, Component component, std::vector<Component>& doomed) {
    if (component->Thread() == std::this_thread::get_id()) {
        doomed.push_back(std::move(component));
        return;
    }
    TGlobalHotKeys* raw = component.get();
    state.retired.push_back(std::move(component));
    // Posted under the guard: its own thread may otherwise destroy it first. A thread that takes
    // no more messages has lost its windows, and their registrations with them.
    if (!raw->Window().Post([this, raw] { DestroyRetired(raw); })) {
        doomed.push_back(std::move(state.retired.back()));
        state.retired.pop_back();
    }
}

std::vector<GlobalHotKeysOwner::Component> GlobalHotKeysOwner::TakeRetiredOf(
    State& state, std::thread::id thread) {
    std::vector<Component> taken;
    const auto own = std::ranges::partition(
        state.retired, [thread](const Component& c) { return c->Thread() != thread; });
    std::move(own.begin(), own.end(), std::back_inserter(taken));
    state.retired.erase(own.begin(), own.end());
    return taken;
}

bool GlobalHotKeysOwner::OthersRetired(const State& state, std::thread::id thread) {
    return std::ranges::any_of(state.retired,
                               [thread](const Component& c) { return c->Thread() != thread; });
}

void GlobalHotKeysOwner::DestroyRetired(const TGlobalHotKeys* component) {
    Component doomed = state_.Update([component](State& s) {
        Component found;
        const auto it = std::ranges::find_if(
            s.retired, [component](const Component& c) { return c.get() == component; });
        if (it != s.retired.end()) {
            found = std::move(*it);
            s.retired.erase(it);
        }
        return found;
    });
    // This very call runs on the component's window, which goes here; nothing of it is used after.
    doomed.reset();
    state_.Update([this](State& s) {
        if (!s.current || !s.activationPending || OthersRetired(s, s.current->Thread())) return;
        const std::uint64_t generation = s.generation;
        s.current->Window().Post([this, generation] { ActivatePending(generation); });
    });
}

void GlobalHotKeysOwner::ActivatePending(std::uint64_t generation) {
    TGlobalHotKeys* component = state_.Update([&](State& s) -> TGlobalHotKeys* {
        if (!s.current || s.generation != generation || !s.activationPending ||
            OthersRetired(s, s.current->Thread())) {
            return nullptr;
        }
        s.activationPending = false;
        return s.current.get();
    });
    if (component != nullptr) component->SetActive(true);
}

}  // namespace kxp
