#include "helpers/frame/Confinement.h"

#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modWriteLog.h"

namespace vellora::helper {

confine::Mode ConfinementMode() {
    const int value =
        basINI_IO::ReadSettingNumber(basINI_IO::SettingsPath(), texts::kGeneralSection.str(),
                                     texts::kKeyRequireConfinement.str());
    return value == 1 ? confine::Mode::Required : confine::Mode::Auto;
}

void ReportUnconfinedToLog() {
    confine::SetNoticeMarker(AppFolder() + texts::kUnconfinedMarker.str());
    confine::SetNoticeHandler([](const std::string& text) {
        try {
            modWriteLog::WriteLog(text);
        } catch (const modWriteLog::LogError&) {
        }
    });
}

}  // namespace vellora::helper
