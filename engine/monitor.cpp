#include "engine/monitor.h"

#include "engine/messages.h"
#include "engine/settings.h"
#include "engine/startup.h"

#include <algorithm>
#include <cstdint>
#include <variant>

namespace tarnwatch {

bool Monitor::StartMonitor(const std::filesystem::path& settingsFile) {
    state_.SoundNotify = false;
    ports_.Timer.SetEnabled(false);

    const std::variant<Settings, SettingsRefusal> loaded =
        LoadSettings(settingsFile, ports_.Files, ports_.CodePage);
    if (const auto* refusal = std::get_if<SettingsRefusal>(&loaded)) {
        ports_.Boxes.Show(refusal->Text, messages::InitFailedTitle, BoxButtons::Ok, BoxIcon::Critical);
        ports_.Host.EndProgram();
        return false;
    }
    static_cast<Settings&>(state_) = std::get<Settings>(loaded);
    ports_.Timer.SetIntervalMs(TimerIntervalMs(state_.UpdateSeconds));

    CivilDate day;
    for (;;) {
        // The date is taken anew on every try: a Retry after midnight looks for the new day's file.
        day = ports_.Clock.Today();
        state_.LogFilePath = LogPathFor(state_.LogFolder, day);
        if (ports_.Files.IsPlainFile(state_.LogFilePath)) {
            break;
        }
        const BoxAnswer answer =
            ports_.Boxes.Show(messages::LogFileMissing(state_.LogFilePath), messages::InitFailedTitle,
                              BoxButtons::RetryCancel, BoxIcon::Critical);
        if (answer != BoxAnswer::Retry) {
            ports_.Host.EndProgram();
            return false;
        }
        ports_.Host.ShowOptionsDialog();
    }

    if (!HasRequiredFieldList(ports_.Files, state_.LogFilePath)) {
        ports_.Boxes.Show(messages::WrongFieldList(), messages::InitFailedTitle, BoxButtons::Ok,
                          BoxIcon::Critical);
        ports_.Host.EndProgram();
        return false;
    }

    // A file that vanished since it was found reads as new from its first byte once it is back.
    const std::int64_t readOffset =
        std::max<std::int64_t>(FindStartOffset(ports_.Files, state_.LogFilePath), 1);
    // The server may have begun another header block since the fourth line; the one in force decides. Where
    // none is found near the end, the top block does, and the fourth line has just been found right.
    const bool fieldListRight =
        FieldListInForceAt(ports_.Files, state_.LogFilePath, readOffset - 1).value_or(true);
    fieldListWarningDue_ = !fieldListRight;
    WatchLog(state_.LogFilePath, day, readOffset, fieldListRight);
    ReadNewLines();
    ports_.Timer.SetEnabled(true);
    return true;
}

} // namespace tarnwatch
