#include "engine/messages.h"
#include "engine/settings.h"
#include "engine/std_file_system.h"
#include "tests/support/monitor_harness.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <variant>

namespace tarnwatch {
namespace {

using Entries = std::vector<std::wstring>;

constexpr auto ScrambledFile = testing::MonitorHarness::SettingsBytes;

class SettingsFile : public ::testing::Test {
protected:
    // Into state when the file is read; what is wrong with it otherwise.
    std::optional<SettingsFault> Load(FileSystem& files) {
        const auto loaded = LoadSettings(path, files, codePage);
        if (const auto* refusal = std::get_if<SettingsRefusal>(&loaded)) {
            refusalText = refusal->Text;
            return refusal->Fault;
        }
        static_cast<Settings&>(state) = std::get<Settings>(loaded);
        return std::nullopt;
    }
    std::optional<SettingsFault> Load(const std::vector<std::string>& plainLines) {
        memory.Create(path.wstring(), ScrambledFile(plainLines));
        return Load(memory);
    }
    void ExpectRefusal(const std::wstring& text) {
        EXPECT_EQ(refusalText, text);
        EXPECT_NE(refusalText.find(path.wstring()), std::wstring::npos) << "names the file";
    }
    testing::TempFolder folder;
    std::filesystem::path path = folder.Path() / "param.dat";
    SharedState state;
    StdFileSystem disk;
    testing::MemoryFileSystem memory;
    Latin1CodePage codePage;
    testing::ScriptedBoxes boxes;
    std::wstring refusalText;
};

TEST_F(SettingsFile, SavesEveryLineScrambledWithCrLf) {
    state.RowLimit = 30;
    state.UpdateSeconds = 5;
    state.LogFolder = L"E:\\logs\\W3SVC1\\";
    state.FilterIps = {L"127.0.0.1", L" 10.0.0.9 "};
    ASSERT_TRUE(SaveSettings(state, path, codePage, boxes));
    const std::string file = testing::TempFolder::Read(path);
    EXPECT_EQ(file.substr(0, 4), "\x24\x27\r\n") << "30, as every settings file written so far holds it";
    EXPECT_EQ(file, ScrambledFile({"30", "5", "E:\\logs\\W3SVC1\\", "127.0.0.1", " 10.0.0.9 "}));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(SettingsFile, AFileAsLargeAsTheLoaderTakesIsSavedAndReadBackButNotOneByteMore) {
    state.RowLimit = 30;
    state.UpdateSeconds = 5;
    state.LogFolder = L"E:\\logs\\";
    const std::int64_t otherLines = std::ssize(std::string_view("30\r\n5\r\nE:\\logs\\\r\n\r\n"));
    state.FilterIps = {std::wstring(static_cast<std::size_t>(LargestSettingsFile - otherLines), L'0')};
    ASSERT_TRUE(SaveSettings(state, path, codePage, boxes));
    ASSERT_EQ(Load(disk), std::nullopt);
    EXPECT_EQ(state.FilterIps.front().size(), static_cast<std::size_t>(LargestSettingsFile - otherLines));

    state.FilterIps.front() += L'0';
    EXPECT_FALSE(SaveSettings(state, path, codePage, boxes));
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, messages::SettingsTooLarge(path.wstring(), LargestSettingsFile));
    EXPECT_EQ(boxes.Shown[0].Title, messages::SaveSettingsTitle);
    EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(path)), LargestSettingsFile)
        << "the file of the last save is left as it was";
}

TEST_F(SettingsFile, TrimsTheNumbersAndOnlyTheFirstFilterEntry) {
    ASSERT_EQ(Load({" 39 ", "-3", "  D:\\logs\\ ", " 10.0.0.1 ", " 10.0.0.2 ", ""}), std::nullopt);
    EXPECT_EQ(state.RowLimit, 39);
    EXPECT_EQ(state.UpdateSeconds, -3);
    EXPECT_EQ(TimerIntervalMs(state.UpdateSeconds), 1000) << "a period below one second polls once a second";
    EXPECT_EQ(state.LogFolder, L"  D:\\logs\\ ");
    EXPECT_EQ(state.FilterIps, (Entries{L"10.0.0.1", L" 10.0.0.2 ", L""}));

    ASSERT_EQ(Load({"7", "2", "C:\\", ""}), std::nullopt);
    EXPECT_EQ(state.FilterIps, Entries{L""});
    ASSERT_EQ(Load({"7", "2", "C:\\"}), std::nullopt);
    EXPECT_EQ(state.FilterIps, Entries{}) << "a three-line file holds no list";
}

TEST_F(SettingsFile, AFileTheProgramDidNotWriteIsRefusedWithTheMessageForWhatIsWrong) {
    const std::string twoLines = ScrambledFile({"8", "3"});
    const std::pair<const char*, std::string> damaged[] = {
        {"empty", ""},
        {"one line", ScrambledFile({"8"})},
        {"two lines", twoLines},
        {"a row limit that is no number", ScrambledFile({"eight", "3", "C:\\"})},
        {"a blank period", ScrambledFile({"8", " ", "C:\\"})},
        {"over the largest settings file", twoLines + std::string(LargestSettingsFile, 'x')},
    };
    ASSERT_EQ(Load({"7", "2", "C:\\"}), std::nullopt);
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        memory.Create(path.wstring(), bytes);
        EXPECT_EQ(Load(memory), SettingsFault::Damaged);
        ExpectRefusal(messages::SettingsDamaged(path.wstring()));
        EXPECT_EQ(state.RowLimit, 7) << "a refused file changes nothing";
    }
    memory.Create(path.wstring(), ScrambledFile({"8", "3", "C:\\"}));
    memory.FailingCalls = 1;
    EXPECT_EQ(Load(memory), SettingsFault::Unreadable);
    ExpectRefusal(messages::SettingsUnreadable(path.wstring()));

    memory.Remove(path.wstring());
    EXPECT_EQ(Load(memory), SettingsFault::Missing);
    ExpectRefusal(messages::SettingsMissing(path.wstring()));
}

// The new file is written beside the old one under another name; a folder there must not become the settings.
TEST_F(SettingsFile, ASaveThatCannotWriteIsReportedAndLeavesNothingInTheFilesPlace) {
    std::filesystem::create_directory(folder.Path() / "param.dat.new");
    EXPECT_FALSE(SaveSettings(state, path, codePage, boxes));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(boxes.Shown.size(), 1u);
}

TEST_F(SettingsFile, SaveIfDirtyWritesOnlyChangesClearsTheFlagAndKeepsItWhenTheSaveFails) {
    state.RowLimit = 12;
    SaveIfDirty(state, path, codePage, boxes);
    EXPECT_FALSE(std::filesystem::exists(path));
    state.SettingsDirty = true;
    SaveIfDirty(state, path, codePage, boxes);
    EXPECT_FALSE(state.SettingsDirty);
    const std::string old = testing::TempFolder::Read(path);
    EXPECT_EQ(old.substr(0, 4), ScrambledFile({"12"}));

    // A folder in the way of the temporary file makes the write fail on every system, as root too.
    std::filesystem::create_directories(folder.Path() / "param.dat.new" / "busy");
    state.RowLimit = 1;
    state.SettingsDirty = true;
    SaveIfDirty(state, path, codePage, boxes);
    EXPECT_TRUE(state.SettingsDirty);
    EXPECT_EQ(testing::TempFolder::Read(path), old);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Title, messages::SaveSettingsTitle);
    EXPECT_EQ(boxes.Shown[0].Text, messages::SettingsNotWritten(path.wstring()));
    EXPECT_EQ(boxes.Shown[0].Icon, BoxIcon::Critical);
}

} // namespace
} // namespace tarnwatch
