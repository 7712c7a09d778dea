// One icon in the shell's notification area, and the shell's notifications for it turned into
// events. Lives on the thread of its shared hidden window, where every event runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/DrawingHandles.h"
#include "platform/Platform.h"
#include "tray/TImageList.h"
#include "tray/TTrayTimer.h"
#include "tray/TTrayWindow.h"

namespace kxp {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// The mouse messages a callback message carries.
inline constexpr std::uint32_t kWmMouseMove = 0x0200;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;
inline constexpr std::uint32_t kWmMButtonDown = 0x0207;
inline constexpr std::uint32_t kWmMButtonUp = 0x0208;

// What a tray icon needs of the popup menu attached to it.
class TTrayPopupMenu {
  public:
    virtual ~TTrayPopupMenu() = default;
    // Opens on a right click by itself.
    virtual bool AutoPopup() const = 0;
    // Opens at the screen point.
    virtual void Popup(platform::Point at) = 0;
    // Clicks the menu's default item, when it has one.
    virtual void ClickDefaultItem() = 0;
};

// The shell's tip holds 127 characters and a terminator.
inline constexpr std::size_t kTrayTipLength = 127;

// The hint as the shell's tip takes it: its first 127 UTF-16 units, never half of a pair.
std::u16string TrayTip(const std::u16string& hint);

class TTrayIcon {
  public:
    TTrayIcon(platform::Platform& platform, std::shared_ptr<TTrayWindow> window);
    // Takes the icon out of the notification area.
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    std::uint32_t Identifier() const { return identifier_; }
    // Once its owner has set it up: into the notification area or out of it, as IconVisible says.
    void Loaded();

    // The list IconIndex picks from; the list outlives the icon.
    void SetIconList(const TImageList* list) { iconList_ = list; }
    int IconIndex() const { return iconIndex_; }
    // Shows that image of the list; an index beyond it shows the last one.
    void SetIconIndex(int index);
    platform::Handle Icon() const { return icon_; }
    // Shows an icon of its own, which it keeps until the next one has replaced it in the shell.
    void SetIcon(OwnedIcon icon);

    const std::u16string& Hint() const { return hint_; }
    void SetHint(std::u16string hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    bool IconVisible() const { return visible_; }
    void SetIconVisible(bool visible);
    TTrayPopupMenu* PopupMenu() const { return popupMenu_; }
    // None: a right click raises OnMouseDown and OnMouseUp only.
    void SetPopupMenu(TTrayPopupMenu* menu) { popupMenu_ = menu; }

    // Mouse events are delivered only while on.
    bool Enabled = true;
    // The popup menu opens on the left button instead.
    bool LeftPopup = false;
    bool WantEnterExitEvents = false;

    // With OnDblClick set, a single click is delivered only once the system's double-click time
    // has passed without a second one, and a double click only as OnDblClick.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseExit;
    std::function<void()> OnMouseMove;
    std::function<void(TMouseButton)> OnMouseDown;
    std::function<void(TMouseButton)> OnMouseUp;

    // From the shared window: a callback message's mouse message; the shell started again.
    void CallbackMessage(std::uint32_t mouseMessage);
    void TaskbarCreated();

  private:
    platform::NotifyIconData Record() const;
    void Notify(std::uint32_t message);
    void ShowPopup();
    void ClickTimerExpired();
    void ExitCheck();
    void MouseMove();
    void ButtonDown(TMouseButton button);
    void ButtonUp(TMouseButton button);

    platform::Platform& platform_;
    std::shared_ptr<TTrayWindow> window_;
    std::uint32_t identifier_;
    const TImageList* iconList_ = nullptr;
    int iconIndex_ = 0;
    platform::Handle icon_ = 0;
    OwnedIcon ownIcon_;
    std::u16string hint_;
    bool showHint_ = true;
    bool visible_ = false;
    TTrayPopupMenu* popupMenu_ = nullptr;

    // Mouse state.
    bool leftDown_ = false;
    bool clickPending_ = false;
    bool doubleClicked_ = false;
    bool inside_ = false;
    platform::Point lastPosition_;
    TTrayTimer clickTimer_;
    TTrayTimer exitTimer_;
};

}  // namespace kxp
