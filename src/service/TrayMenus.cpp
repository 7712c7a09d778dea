// The tray menus' handlers: display and interval choices, the check marks and titles set as a
// menu opens, the hints, and the clicks that switch an icon's option set. All on the main thread.
#include <string>

#include "config/UserOptionDefinitions.h"
#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"
#include "tray/DisplayModel.h"
#include "tray/TrayMenuTree.h"

namespace kxp {
namespace {

// Writes the named options of both icons, each with its icon's prefix and set's suffix.
void WriteBothIcons(RegistryKey& key, const TConfig& icon1, const TConfig& icon2,
                    std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const UserOptionDefinition* option = FindUserOption(name);
        if (option == nullptr) continue;
        WriteUserOption(key, *option, 1, icon1);
        WriteUserOption(key, *option, 2, icon2);
    }
}

// " (Graph)" or " (Block)" after a title or hint, in the menu's words.
std::u16string KindSuffix(TDisplayKind kind, const TMenuCaptions& captions) {
    if (kind == dkGraph) return u" (" + captions.Caption("miD_Graph") + u")";
    if (kind == dkBlock) return u" (" + captions.Caption("miD_Block") + u")";
    return {};
}

}  // namespace

TPopupMenu& TKorvanelXPService::PopupMenu(int icon) {
    return icon == 2 ? PopupMenu2 : PopupMenu1;
}

void TKorvanelXPService::BuildTrayMenus() {
    for (const int icon : {1, 2}) {
        TrayMenuHandlers handlers;
        handlers.Settings = [this] { miSettingsClick(); };
        handlers.Exit = [this] { miExitClick(); };
        handlers.LoadOnWindowsStartup = [this] { miLoadWinClick(); };
        handlers.IntervalsOpening = [this] { RefreshChange(); };
        handlers.Interval = [this, icon](std::int32_t ms) { RefreshClick(icon, ms); };
        handlers.DisplaysOpening = [this] { miDisplayClick(); };
        handlers.Display = [this, icon](DisplayCode code) { DisplayChange(icon, code); };
        handlers.AutoRecovery = [this] { miAutoRecoveryClick(); };
        handlers.RecoverRam = [this] { miRecoverRamClick(); };
        handlers.ShowCpuCount = [this] { ShowCPUCount1Click(); };
        BuildTrayMenu(PopupMenu(icon), icon, handlers);
    }
    PopupMenu1.OnPopup = [this] { PopupMenu1Popup(); };
    PopupMenu2.OnPopup = [this] { PopupMenu2Popup(); };
}

void TKorvanelXPService::PopupMenu1Popup() {
    MenuOpening(1);
}

void TKorvanelXPService::PopupMenu2Popup() {
    MenuOpening(2);
}

void TKorvanelXPService::MenuOpening(int icon) {
    const TMenuCaptions captions = MenuCaptions();
    for (const int each : {1, 2}) {
        for (const MenuItemCaption& item : each == 1 ? captions.Menu1 : captions.Menu2) {
            if (TMenuItem* found = PopupMenu(each).Find(item.Name)) found->Caption = item.Caption;
        }
    }
    TPopupMenu& menu = PopupMenu(icon);
    const TMachineOptions options = MachineOptions();
    menu.Find(MenuItemName(icon, "miLoadWin"))->Checked = options.LoadOnWindowsStartup;
    menu.Find(MenuItemName(icon, "miAutoRecovery"))->Checked = options.Recover;

    const TConfig config = Config(icon);
    const std::string number = icon == 2 ? "2" : "1";
    std::u16string title = AsciiCaption("KorvanelXP - Tray Icon " + number);
    const std::optional<DisplayCode> code = DecodeDisplay(config.Display1, config.Display2);
    if (code && code->Kind != dkIcon) {
        title = AsciiCaption("KorvanelXP Tray Icon " + number + " ") +
                captions.Caption("miDisplay") + u": " + GetMetricText(code->Metric) +
                KindSuffix(code->Kind, captions);
    }
    menu.Find("MenuItemTrayIcon" + number)->Caption = title;
}

void TKorvanelXPService::miDisplayClick() {
    for (const int icon : {1, 2}) {
        const TConfig config = Config(icon);
        const std::optional<DisplayCode> code = DecodeDisplay(config.Display1, config.Display2);
        const std::string checked = code ? DisplayMenuItem(icon, *code) : std::string();
        const std::string prefix = icon == 2 ? "mi2D_" : "miD_";
        PopupMenu(icon).Root().ForEach([&](TMenuItem& item) {
            if (item.Name.rfind(prefix, 0) == 0) item.Checked = item.Name == checked;
        });
    }
}

void TKorvanelXPService::RefreshChange() {
    for (const int icon : {1, 2}) {
        const std::int32_t refresh = Config(icon).Refresh;
        for (const UpdateInterval& interval : kUpdateIntervals) {
            const std::string name = std::string("miUpdateInterval") + interval.Seconds + "sec";
            PopupMenu(icon).Find(MenuItemName(icon, name))->Checked =
                interval.Milliseconds == refresh;
        }
    }
}

void TKorvanelXPService::WriteUserOptions(const std::function<void(RegistryKey&)>& write) {
    const std::string path = Session().UserKeyPath;
    if (path.empty() || !UserLoggedOn()) return;
    const bool impersonating = ImpersonateShellUser(false);
    RegistryKey key =
        RegistryKey::OpenWrite(platform_.registry, platform::RegistryRoot::Users, path, true);
    if (key.IsOpen()) write(key);
    key.Close();
    if (impersonating) EndImpersonation(false);
}

void TKorvanelXPService::UserOptionsChangedByMenu() {
    SendToSettings(kSettingsUserOptionsChanged, 0);
    Trim();
}

void TKorvanelXPService::DisplayChange(int icon, DisplayCode code) {
    TConfig config = Config(icon);
    config.Display1 = code.Kind;
    config.Display2 = code.Kind == dkIcon ? dmRamFree : code.Metric;
    PublishConfig(icon, config);
    if (code.Kind == dkIcon) ShowProductIcon(icon);
    for (const int each : {1, 2}) {
        IconDrawRecord(each).Update([](TIconDrawState& draw) {
            if (draw.History) draw.History->Reset();
            draw.LastValue = -1;
        });
    }
    WriteUserOptions([this](RegistryKey& key) {
        WriteBothIcons(key, Config(1), Config(2), {"Display1", "Display2", "Transparent"});
        key.WriteInteger(texts::kVersionValue, kUserOptionsVersion);
    });
    UserOptionsChangedByMenu();
}

void TKorvanelXPService::RefreshClick(int icon, std::int32_t milliseconds) {
    TConfig config = Config(icon);
    config.Refresh = milliseconds;
    PublishConfig(icon, config);
    WriteUserOptions(
        [this](RegistryKey& key) { WriteBothIcons(key, Config(1), Config(2), {"Refresh"}); });
    UserOptionsChangedByMenu();
}

void TKorvanelXPService::TrayIconClick(int icon) {
    TConfig config = Config(icon);
    config.Suffix = config.Suffix.empty() ? texts::kAlternateSuffix : "";
    PublishConfig(icon, config);
    RefreshRequested = true;
    WriteUserOptions([&config, icon](RegistryKey& key) {
        key.WriteBool(ValuePrefix(icon) + texts::kAlternateValue,
                      config.Suffix == texts::kAlternateSuffix);
    });
    ReadUserOptionsOrTrace();
    WithSampler([](TSystemData& sampler) { sampler.UpdateMemory(); });
    ForceRedraw();
    if (Config(icon).Display1 == dkIcon) ShowProductIcon(icon);
    UserOptionsChangedByMenu();
}

void TKorvanelXPService::TrayIcon1Click() {
    TrayIconClick(1);
}

void TKorvanelXPService::TrayIcon2Click() {
    TrayIconClick(2);
}

void TKorvanelXPService::TrayIcon1MouseEnter(int icon) {
    WithSampler([](TSystemData& sampler) { sampler.UpdatePageFile(); });
    TrayIcon(icon == 2 ? 2 : 1).SetHint(GetIconHint(icon));
}

void TKorvanelXPService::ShowCPUCount1Click() {
    const std::int32_t count =
        WithSampler([](const TSystemData& sampler) { return sampler.ProcessorCount; });
    platform_.windows.ShowMessage(std::to_string(count), texts::kDisplayName, platform::kMbOk);
}

std::u16string TKorvanelXPService::GetMetricText(std::int32_t metric) {
    const TMenuCaptions captions = MenuCaptions();
    if (metric == dmRamFree) {
        const std::int64_t availPhys =
            WithSampler([](const TSystemData& sampler) { return sampler.Memory().AvailPhys; });
        return AsciiCaption(std::to_string(static_cast<std::uint32_t>(availPhys / 1024 / 1024))) +
               captions.FreeHint;
    }
    if (metric > dmRamFree && metric < dmPF) {
        const std::string name = std::string("miD_Numeric_") +
                                 kDisplayMetrics[static_cast<std::size_t>(metric)].MenuItem;
        return captions.Caption(name);
    }
    if (metric == dmPF) {
        const std::uint64_t inUse =
            WithSampler([](const TSystemData& sampler) { return sampler.PageFileInUse.load(); });
        return AsciiCaption(std::to_string(inUse >> 20)) + u" " + captions.MegabyteHint + u" " +
               captions.PageFileHint;
    }
    return {};
}

std::u16string TKorvanelXPService::GetIconHint(int icon) {
    const TConfig config = Config(icon);
    const std::optional<DisplayCode> code = DecodeDisplay(config.Display1, config.Display2);
    if (!code || code->Kind == dkIcon) {
        return AsciiCaption(std::string("KorvanelXP Tray Icon ") + (icon == 2 ? "2" : "1"));
    }
    return u"KorvanelXP | " + GetMetricText(code->Metric) + KindSuffix(code->Kind, MenuCaptions());
}

}  // namespace kxp
