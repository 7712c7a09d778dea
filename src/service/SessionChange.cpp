// A change of the logged-on user, seen by the main loop: the logoff of the old user and, when
// somebody is there, the logon of the new one.
#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

void TKorvanelXPService::UserLogoff() {
    Trace("########### STATUS CHANGE ###########");
    Trace("*************************************** LOGOFF: " + Session().LoopUserName);
    // The registry objects belong to the user who leaves: nobody's options are read until the
    // next logon makes new ones. One still in use on another thread closes when that is done.
    registryObjects_.Set({});
    FreeIcon();
    ReleaseHotkeys();
}

void TKorvanelXPService::UserLogon() {
    Trace("************************************* LOGIN: " + Session().LoopUserName);
    platform_.clock.Sleep(1000);
    framework_.ProcessRequests();
    registryObjects_.Set(
        TRegistryObjects{std::make_shared<RegistryKey>(), std::make_shared<RegistryKey>()});
    session_.Update([](TSessionRecord& session) {
        session.UserKeyPath = session.UserSid + texts::kUserOptionsSubkey;
    });
    ReadUserOptionsOrTrace();
    Icon1Elapsed = Config(1).Refresh;
    Icon2Elapsed = Config(2).Refresh;
    SystemData->ResetSampler();
    if (!MemorySampledThisPass) RefreshFigures();
    CreateIcon();
    Trace("---------- Login done --------------");
}

}  // namespace kxp
