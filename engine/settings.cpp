#include "engine/settings.h"

#include "engine/messages.h"
#include "engine/text.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace tarnwatch {

namespace {

constexpr std::string_view LineEnd = "\r\n";

// The program always writes row limit, polling period and log folder.
constexpr std::size_t FewestSettingsLines = 3;

enum class ReadResult { Read, Unreadable, TooLarge };

ReadResult ReadWholeFile(FileSystem& files, const std::wstring& path, std::string& content) {
    const auto file = files.OpenShared(path);
    const auto length = file ? file->Length() : std::nullopt;
    if (!length) {
        return ReadResult::Unreadable;
    }
    if (*length > LargestSettingsFile) {
        return ReadResult::TooLarge;
    }
    content.resize(static_cast<std::size_t>(*length));
    const auto read = file->ReadAt(0, content.data(), content.size());
    if (!read) {
        return ReadResult::Unreadable;
    }
    content.resize(*read);
    return ReadResult::Read;
}

bool WriteWholeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    if (!stream) {
        return false;
    }
    stream.write(content.data(), static_cast<std::streamsize>(content.size()));
    stream.close();
    return !stream.fail();
}

} // namespace

std::string ScrambleText(std::string_view ansiText) {
    std::string scrambled(ansiText);
    for (char& code : scrambled) {
        code = static_cast<char>(static_cast<unsigned char>(code) ^ SettingsKey);
    }
    return scrambled;
}

std::string ScrambleText(std::int64_t number) {
    return ScrambleText(std::to_string(number));
}

std::int64_t TimerIntervalMs(std::int32_t updateSeconds) {
    return static_cast<std::int64_t>(std::max<std::int32_t>(updateSeconds, 1)) * 1000;
}

std::variant<Settings, SettingsRefusal> LoadSettings(const std::filesystem::path& settingsFile,
                                                     FileSystem& files, AnsiCodePage& codePage) {
    const std::wstring path = settingsFile.wstring();
    if (!files.IsPlainFile(path)) {
        return SettingsRefusal{SettingsFault::Missing, messages::SettingsMissing(path)};
    }
    std::string content;
    switch (ReadWholeFile(files, path, content)) {
    case ReadResult::Unreadable:
        return SettingsRefusal{SettingsFault::Unreadable, messages::SettingsUnreadable(path)};
    case ReadResult::TooLarge:
        return SettingsRefusal{SettingsFault::Damaged, messages::SettingsDamaged(path)};
    case ReadResult::Read:
        break;
    }

    const auto lines = SplitTextLines(content);
    std::vector<std::wstring> values(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        codePage.ToWide(ScrambleText(lines[i]), values[i]);
    }
    const std::optional<std::int32_t> rowLimit = values.size() >= 1 ? ParseInt32(values[0]) : std::nullopt;
    const std::optional<std::int32_t> updateSeconds =
        values.size() >= 2 ? ParseInt32(values[1]) : std::nullopt;
    if (values.size() < FewestSettingsLines || !rowLimit || !updateSeconds) {
        return SettingsRefusal{SettingsFault::Damaged, messages::SettingsDamaged(path)};
    }

    Settings settings{*rowLimit, *updateSeconds, values[2], {}};
    if (values.size() >= 4) {
        // Only the first entry is trimmed; the later ones are kept exactly as written.
        settings.FilterIps.assign(1, std::wstring(TrimSpaces(values[3])));
        settings.FilterIps.insert(settings.FilterIps.end(), values.begin() + 4, values.end());
    }
    return settings;
}

bool SaveSettings(const Settings& state, const std::filesystem::path& settingsFile, AnsiCodePage& codePage,
                  MessageBoxes& boxes) {
    std::string content;
    content += ScrambleText(state.RowLimit);
    content += LineEnd;
    content += ScrambleText(state.UpdateSeconds);
    content += LineEnd;
    content += ScrambleText(codePage.ToAnsi(state.LogFolder));
    content += LineEnd;
    for (const std::wstring& filterIp : state.FilterIps) {
        content += ScrambleText(codePage.ToAnsi(filterIp));
        content += LineEnd;
    }
    if (std::ssize(content) > LargestSettingsFile) {
        boxes.Show(messages::SettingsTooLarge(settingsFile.wstring(), LargestSettingsFile),
                   messages::SaveSettingsTitle, BoxButtons::Ok, BoxIcon::Exclamation);
        return false;
    }

    // Write beside the old file and swap only a complete new one in, so a failure never leaves half a file.
    std::filesystem::path partial = settingsFile;
    partial += L".new";
    std::error_code error;
    if (WriteWholeFile(partial, content)) {
        std::filesystem::rename(partial, settingsFile, error);
        if (!error) {
            return true;
        }
    }
    std::filesystem::remove(partial, error);
    boxes.Show(messages::SettingsNotWritten(settingsFile.wstring()), messages::SaveSettingsTitle,
               BoxButtons::Ok, BoxIcon::Critical);
    return false;
}

void SaveIfDirty(SharedState& state, const std::filesystem::path& settingsFile, AnsiCodePage& codePage,
                 MessageBoxes& boxes) {
    if (state.SettingsDirty && SaveSettings(state, settingsFile, codePage, boxes)) {
        state.SettingsDirty = false;
    }
}

} // namespace tarnwatch
