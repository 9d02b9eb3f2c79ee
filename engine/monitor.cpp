#include "engine/monitor.h"

#include "engine/messages.h"
#include "engine/settings.h"
#include "engine/startup.h"

#include <algorithm>

namespace tarnwatch {

Monitor::Monitor(SharedState& state, const MonitorPorts& ports)
    : state_(state), ports_(ports), reader_(ports.Files, ports.Pump) {}

bool Monitor::StartMonitor(const std::filesystem::path& settingsFile) {
    state_.ReadOffset = 1;
    state_.SoundNotify = false;
    ports_.Timer.SetEnabled(false);

    if (LoadSettings(state_, settingsFile, ports_.Files, ports_.CodePage, ports_.Timer, ports_.Boxes) !=
        LoadResult::Loaded) {
        ports_.Host.EndProgram();
        return false;
    }

    for (;;) {
        // The date is taken anew on every try: a Retry after midnight looks for the new day's file.
        state_.LogFilePath = LogPathFor(state_.LogFolder, ports_.Clock.Today());
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
    state_.ReadOffset = std::max<std::int64_t>(FindStartOffset(ports_.Files, state_.LogFilePath), 1);
    // The server may have begun another header block since the fourth line; the one in force decides.
    fieldListRight_ =
        FieldListInForceAt(ports_.Files, state_.LogFilePath, state_.ReadOffset - 1).value_or(true);
    fieldListWarningDue_ = !fieldListRight_;
    reader_.ForgetFile();
    ReadNewLines();
    ports_.Timer.SetEnabled(true);
    return true;
}

} // namespace tarnwatch
