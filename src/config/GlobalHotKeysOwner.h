// The service's hot-key component, which lives on the thread that last built the hot keys. A
// component is only ever used and destroyed on its own thread: a build on another thread, or a
// release, hands the old one back to its thread to be destroyed there, so that no registration is
// left on a window of the other thread. Nothing here waits for the other thread: a new component
// whose keys another thread's old one still holds is activated as soon as that one has gone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "config/TGlobalHotKeys.h"
#include "platform/Guarded.h"
#include "platform/Platform.h"

namespace kxp {

class GlobalHotKeysOwner {
  public:
    GlobalHotKeysOwner(platform::Windows& windows, TGlobalHotKeys::HotKeyEvent onHotKey);
    GlobalHotKeysOwner(const GlobalHotKeysOwner&) = delete;
    GlobalHotKeysOwner& operator=(const GlobalHotKeysOwner&) = delete;
    // Destroys what is left; by then only the destroying thread's components should be.
    ~GlobalHotKeysOwner();

    // Calling thread: fill gets the component of this thread (the one there is, or a new one when
    // there is none or it belongs to another thread), inactive or not, and says whether to make it
    // active once it is filled.
    void Build(const std::function<bool(TGlobalHotKeys&)>& fill);
    // Any thread: the component and with it every registration goes; one of another thread goes
    // on that thread, as soon as it handles its messages.
    void Release();

  private:
    using Component = std::unique_ptr<TGlobalHotKeys>;
    struct State {
        Component current;
        std::uint64_t generation = 0;  // of current; each new component has its own
        // current waits for components of other threads to go before it registers.
        bool activationPending = false;
        // Components handed back to their own threads, not yet destroyed there.
        std::vector<Component> retired;
    };

    // Under the guard. Components of the calling thread are moved to doomed, for destruction
    // outside the guard.
    void Retire(State& state, Component component, std::vector<Component>& doomed);
    static std::vector<Component> TakeRetiredOf(State& state, std::thread::id thread);
    static bool OthersRetired(const State& state, std::thread::id thread);
    // On the component's own thread.
    void DestroyRetired(const TGlobalHotKeys* component);
    void ActivatePending(std::uint64_t generation);

    platform::Windows& windows_;
    TGlobalHotKeys::HotKeyEvent onHotKey_;
    Guarded<State> state_;
};

}  // namespace kxp
