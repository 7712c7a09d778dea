// Every facility of the seam on the real Windows API, bundled into one Platform.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Heap.h"
#include "platform/win32/Win32Menus.h"
#include "platform/win32/Win32Privileges.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32ServiceHost.h"
#include "platform/win32/Win32SystemInformation.h"
#include "platform/win32/Win32Windows.h"

namespace kxp::win32 {

class Win32Platform {
  public:
    Win32Platform() = default;
    // The bundle refers to the members: it must not outlive or leave this object.
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    platform::Platform& platform() { return platform_; }

  private:
    Win32Clock clock_;
    Win32SystemInformation system_;
    Win32Registry registry_;
    Win32Windows windows_;
    Win32Process process_;
    Win32ServiceHost services_;
    Win32Privileges privileges_;
    Win32Heap heap_;
    Win32Security security_;
    Win32Files files_;
    Win32Drawing drawing_;
    Win32Locale locale_;
    Win32Mouse mouse_;
    Win32NotificationArea notificationArea_;
    Win32Menus menus_;
    platform::Platform platform_{clock_,    system_,     registry_, windows_,          process_,
                                 services_, privileges_, heap_,     security_,         files_,
                                 drawing_,  locale_,     mouse_,    notificationArea_, menus_};
};

}  // namespace kxp::win32
