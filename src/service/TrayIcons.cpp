// The two tray icons: made with the service on the main thread, shown at logon and hidden at
// logoff, the product and busy images, and the drawn figures handed over from the service thread.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "service/TKorvanelXPService.h"
#include "tray/DisplayModel.h"

namespace kxp {
namespace {

constexpr const char* kMainIconResource = "MAINICON";
constexpr const char* kBusyIconResource = "BUSYICON";
constexpr int kBusyImage = 0;
constexpr int kProductImage = 1;
// How long a recovery waits for the main thread to have changed the icons before it goes on: the
// icons are for the user to see, the recovery must not depend on them.
constexpr auto kMainThreadWait = std::chrono::seconds(2);

bool SameFont(const TFontOptions& a, const TFontOptions& b) {
    return a.Name == b.Name && a.Size == b.Size && a.Bold == b.Bold && a.Italic == b.Italic;
}

// The options the drawing objects are made from.
bool SameDrawingOptions(const TConfig& a, const TConfig& b) {
    return SameFont(a.Font1, b.Font1) && SameFont(a.Font2, b.Font2) && SameFont(a.Font3, b.Font3) &&
           a.ForeColor == b.ForeColor && a.BackColor == b.BackColor &&
           a.Transparent == b.Transparent;
}

}  // namespace

void TKorvanelXPService::CreateTrayIcons() {
    mainThread_ = std::this_thread::get_id();
    ImageList1.Add(OwnedIcon(platform_.drawing.LoadIconResource(kBusyIconResource),
                             DestroyIconWith{&platform_.drawing}));
    BuildTrayMenus();
    const auto window = std::make_shared<TTrayWindow>(platform_.windows);
    PopupMenu1.SetOwnerWindow(window->Window());
    PopupMenu2.SetOwnerWindow(window->Window());
    TrayIcon1.emplace(platform_, window);
    TrayIcon2.emplace(platform_, window);
    for (const int number : {1, 2}) {
        TTrayIcon& icon = TrayIcon(number);
        icon.SetIconList(&ImageList1);
        icon.SetIconIndex(kBusyImage);
        icon.SetShowHint(true);
        icon.WantEnterExitEvents = true;
        icon.SetPopupMenu(number == 1 ? &PopupMenu1 : &PopupMenu2);
        icon.OnClick = [this, number] { number == 1 ? TrayIcon1Click() : TrayIcon2Click(); };
        icon.OnDblClick = [this] { miSettingsClick(); };
        icon.OnMouseEnter = [this, number] { TrayIcon1MouseEnter(number); };
        icon.Loaded();
    }
}

TTrayIcon& TKorvanelXPService::TrayIcon(int number) {
    return number == 2 ? *TrayIcon2 : *TrayIcon1;
}

void TKorvanelXPService::OnMainThread(std::function<void()> work) {
    if (std::this_thread::get_id() == mainThread_) {
        work();
    } else {
        PostToMainThread(std::move(work));
    }
}

void TKorvanelXPService::OnMainThreadAndWait(std::function<void()> work) {
    if (std::this_thread::get_id() == mainThread_) {
        work();
        return;
    }
    struct Done {
        std::mutex lock;
        std::condition_variable changed;
        bool ran = false;
    };
    // Shared: a wait that gives up leaves the work to run later on its own.
    const auto done = std::make_shared<Done>();
    const bool posted = PostToMainThread([done, work = std::move(work)] {
        work();
        std::lock_guard guard(done->lock);
        done->ran = true;
        done->changed.notify_all();
    });
    if (!posted) return;
    std::unique_lock guard(done->lock);
    done->changed.wait_for(guard, kMainThreadWait, [&done] { return done->ran; });
}

void TKorvanelXPService::LoadMainIcon() {
    OnMainThread([this] {
        ImageList1.Add(OwnedIcon(platform_.drawing.LoadIconResource(kMainIconResource),
                                 DestroyIconWith{&platform_.drawing}));
        TrayIcon1->SetIconIndex(kProductImage);
        TrayIcon2->SetIconIndex(kProductImage);
    });
}

void TKorvanelXPService::CreateIcon() {
    ForceRedraw();
    OnMainThread([this] {
        for (const int number : {1, 2}) TrayIcon(number).SetIconIndex(kProductImage);
        TrayIcon1->SetPopupMenu(&PopupMenu1);
        TrayIcon2->SetPopupMenu(&PopupMenu2);
        TrayIcon1->SetIconVisible(true);
        TrayIcon2->SetIconVisible(!Config(1).NoSecondTray);
    });
    // An options read from now on shows or hides icon 2 after the work above, which is queued
    // first.
    IconsCreated = true;
}

void TKorvanelXPService::FreeIcon() {
    // Cleared too, so that the next user's first options read does not add icon 2 before icon 1
    // and swap their places.
    IconsCreated = false;
    OnMainThread([this] {
        TrayIcon1->SetIconVisible(false);
        TrayIcon2->SetIconVisible(false);
    });
}

void TKorvanelXPService::ShowProductIcon(int number) {
    if (number != 1 && number != 2) return;
    OnMainThread([this, number] { TrayIcon(number).SetIconIndex(kProductImage); });
}

void TKorvanelXPService::SetTrayIconVisible(int number, bool visible) {
    if (number != 1 && number != 2) return;
    OnMainThread([this, number, visible] { TrayIcon(number).SetIconVisible(visible); });
}

void TKorvanelXPService::ShowBusyIcons() {
    OnMainThreadAndWait([this] {
        for (const int number : {1, 2}) {
            TrayIcon(number).SetPopupMenu(nullptr);
            TrayIcon(number).SetIconIndex(kBusyImage);
        }
    });
}

void TKorvanelXPService::RestoreIcons() {
    ForceRedraw();
    OnMainThreadAndWait([this] {
        for (const int number : {1, 2}) {
            if (Config(number).Display1 == dkIcon) TrayIcon(number).SetIconIndex(kProductImage);
        }
        TrayIcon1->SetPopupMenu(&PopupMenu1);
        TrayIcon2->SetPopupMenu(&PopupMenu2);
    });
}

void TKorvanelXPService::CreateDrawingObjects() {
    Renderer.emplace(platform_.drawing, platform_.locale);
    for (const int number : {1, 2}) {
        drawingOptions_[number - 1] = Config(number);
        Renderer->Objects().ApplyOptions(number, *drawingOptions_[number - 1]);
    }
}

void TKorvanelXPService::FreeDrawingObjects() {
    Renderer.reset();
    for (auto& options : drawingOptions_) options.reset();
}

void TKorvanelXPService::ApplyDrawingOptions(int number, const TConfig& config) {
    std::optional<TConfig>& applied = drawingOptions_[number - 1];
    if (applied && SameDrawingOptions(*applied, config)) return;
    Renderer->Objects().ApplyOptions(number, config);
    applied = config;
}

void TKorvanelXPService::DrawIcon(int number, std::int32_t kind, std::uint32_t value,
                                  std::uint32_t maximum) {
    if ((number != 1 && number != 2) || !Renderer) return;
    const TConfig config = Config(number);
    ApplyDrawingOptions(number, config);
    Guarded<TIconDrawState>& record = IconDrawRecord(number);
    TIconDrawState state = record.Get();
    if (!state.History) return;
    const TIconDrawState before = state;
    OwnedIcon icon =
        Renderer->DrawIcon(number, config, state.LastValue, *state.History, kind, value, maximum);
    // A redraw forced or a graph reset on the main thread meanwhile wins over what this drawing
    // leaves: the next drawing then starts from it.
    record.Update([&before, &state](TIconDrawState& current) {
        if (current.LastValue == before.LastValue && current.History &&
            current.History->Slots == before.History->Slots) {
            current = state;
        }
    });
    if (!icon) return;
    // The icon moves to the main thread with the work; a display switched to the product icon
    // meanwhile keeps it, and a drawing that cannot be handed over is released here.
    const auto handed = std::make_shared<OwnedIcon>(std::move(icon));
    PostToMainThread([this, number, handed] {
        if (Config(number).Display1 != dkIcon) TrayIcon(number).SetIcon(std::move(*handed));
    });
}

}  // namespace kxp
