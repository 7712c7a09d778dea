// Owners for the DCs, GDI objects and icons the Drawing facility makes: released through the same
// facility, so that the simulated machine sees every release as Windows would.
#pragma once

#include "platform/Platform.h"
#include "platform/UniqueHandle.h"

namespace kxp {

struct DeleteObjectWith {
    platform::Drawing* drawing = nullptr;
    void operator()(platform::Handle object) const { drawing->DeleteObject(object); }
};
struct DeleteDcWith {
    platform::Drawing* drawing = nullptr;
    void operator()(platform::Handle dc) const { drawing->DeleteDC(dc); }
};
struct DestroyIconWith {
    platform::Drawing* drawing = nullptr;
    void operator()(platform::Handle icon) const { drawing->DestroyIcon(icon); }
};

using OwnedGdiObject = unique_handle<platform::Handle, DeleteObjectWith>;
using OwnedDc = unique_handle<platform::Handle, DeleteDcWith>;
using OwnedIcon = unique_handle<platform::Handle, DestroyIconWith>;

}  // namespace kxp
