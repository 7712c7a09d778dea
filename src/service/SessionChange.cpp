// A change of the logged-on user, seen by the main loop: the logoff of the old user and, when
// somebody is there, the logon of the new one.
#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

void TKorvanelXPService::UserLogoff() {
    Trace("########### STATUS CHANGE ###########");
    Trace("*************************************** LOGOFF: " + LoopUserName);
    // The registry objects belong to the user who leaves: nobody's options are read until the
    // next logon makes new ones.
    if (OptionReader) OptionReader->Close();
    if (OptionWriter) OptionWriter->Close();
    OptionReader.reset();
    OptionWriter.reset();
    FreeIcon();
    ReleaseHotkeys();
}

void TKorvanelXPService::UserLogon() {
    Trace("************************************* LOGIN: " + LoopUserName);
    platform_.clock.Sleep(1000);
    framework_.ProcessRequests();
    OptionReader.emplace();
    OptionWriter.emplace();
    UserKeyPath = UserSid + texts::kUserOptionsSubkey;
    ReadUserOptions();
    Icon1Elapsed = Config1.Refresh;
    Icon2Elapsed = Config2.Refresh;
    SystemData->ResetSampler();
    if (!MemorySampledThisPass) RefreshFigures();
    CreateIcon();
    Trace("---------- Login done --------------");
}

}  // namespace kxp
