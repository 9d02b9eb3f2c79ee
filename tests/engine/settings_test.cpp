#include "fakes.h"
#include "settings.h"
#include "std_file_system.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace tarnwatch {
namespace {

using testing::Latin1CodePage;
using testing::RecordingTimer;
using testing::ScriptedBoxes;
using testing::TempFolder;

std::string ScrambledFile(const std::vector<std::string>& plainLines) {
    std::string file;
    for (const auto& line : plainLines) {
        file += ScrambleText(line) + "\r\n";
    }
    return file;
}

class SettingsFile : public ::testing::Test {
protected:
    LoadResult Load(const std::string& bytes) {
        folder.Write("param.dat", bytes);
        return LoadSettings(state, SettingsPath(), files, codePage, timer, boxes);
    }
    std::filesystem::path SettingsPath() const { return folder.Path() / "param.dat"; }

    TempFolder folder;
    SharedState state;
    StdFileSystem files;
    Latin1CodePage codePage;
    RecordingTimer timer;
    ScriptedBoxes boxes;
};

TEST(ScrambleText, IsItsOwnInverseAndNeverMakesLineEndsOfPrintableCharacters) {
    for (int code = 0; code < 256; ++code) {
        const std::string one(1, static_cast<char>(code));
        EXPECT_EQ(ScrambleText(ScrambleText(one)), one);
        const bool printable = code >= 0x20 && code != 0x7F;
        if (printable) {
            const char scrambled = ScrambleText(one)[0];
            EXPECT_NE(scrambled, '\r') << code;
            EXPECT_NE(scrambled, '\n') << code;
        }
    }
    EXPECT_NE(ScrambleText("30"), "30");
    EXPECT_EQ(ScrambleText(-42), ScrambleText("-42"));
}

TEST_F(SettingsFile, ReadsTheTypicalFile) {
    ASSERT_EQ(Load(ScrambledFile({"30", "5", "D:\\weblogs\\", "127.0.0.1", "192.168.0.10"})),
              LoadResult::Loaded);
    EXPECT_EQ(state.RowLimit, 30);
    EXPECT_EQ(state.UpdateSeconds, 5);
    EXPECT_EQ(timer.IntervalMs, 5000);
    EXPECT_EQ(state.LogFolder, L"D:\\weblogs\\");
    EXPECT_EQ(state.FilterIps, (std::vector<std::wstring>{L"127.0.0.1", L"192.168.0.10"}));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(SettingsFile, TrimsOnlyTheFirstFilterEntryAndTheNumbers) {
    ASSERT_EQ(Load(ScrambledFile({" 30 ", "-3", "  D:\\logs\\ ", " 10.0.0.1 ", " 10.0.0.2 ", ""})),
              LoadResult::Loaded);
    EXPECT_EQ(state.RowLimit, 30);
    EXPECT_EQ(state.UpdateSeconds, -3);
    EXPECT_EQ(timer.IntervalMs, 1000) << "a period below one second polls once a second";
    EXPECT_EQ(state.LogFolder, L"  D:\\logs\\ ");
    EXPECT_EQ(state.FilterIps, (std::vector<std::wstring>{L"10.0.0.1", L" 10.0.0.2 ", L""}));
}

TEST_F(SettingsFile, ShortFilesLeaveTheMissingValuesAlone) {
    ASSERT_EQ(Load(ScrambledFile({"7", "2", "C:\\"})), LoadResult::Loaded);
    EXPECT_TRUE(state.FilterIps.empty());

    state = SharedState{};
    ASSERT_EQ(Load(ScrambledFile({"7", "2", "C:\\", ""})), LoadResult::Loaded);
    EXPECT_EQ(state.FilterIps, std::vector<std::wstring>{L""});

    state = SharedState{};
    ASSERT_EQ(Load(""), LoadResult::Loaded);
    EXPECT_EQ(state.RowLimit, 0);
    EXPECT_EQ(state.LogFolder, L"");
}

TEST_F(SettingsFile, DamagedNumbersEndTheStartUpWithAMessage) {
    for (const std::string bad : {"thirty", "", "3 0", "2147483648", "-2147483649", "1e3"}) {
        boxes.Shown.clear();
        EXPECT_EQ(Load(ScrambledFile({"30", bad, "C:\\", "127.0.0.1"})), LoadResult::Damaged) << bad;
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0].Title, L"Initialization Failed");
        EXPECT_EQ(boxes.Shown[0].Icon, BoxIcon::Critical);
        EXPECT_NE(boxes.Shown[0].Text.find(SettingsPath().wstring()), std::wstring::npos);
    }
    EXPECT_EQ(Load(ScrambledFile({"2147483647", "-2147483648"})), LoadResult::Loaded);
    EXPECT_EQ(state.RowLimit, 2147483647);
    EXPECT_EQ(state.UpdateSeconds, -2147483647 - 1);
}

TEST_F(SettingsFile, MissingFileOrAFolderInItsPlaceIsReported) {
    EXPECT_EQ(LoadSettings(state, SettingsPath(), files, codePage, timer, boxes), LoadResult::Missing);
    std::filesystem::create_directory(SettingsPath());
    EXPECT_EQ(LoadSettings(state, SettingsPath(), files, codePage, timer, boxes), LoadResult::Missing);
    ASSERT_EQ(boxes.Shown.size(), 2u);
    EXPECT_EQ(boxes.Shown[0].Text, L"File -> " + SettingsPath().wstring() +
                                       L"\r\nDont' Found!!! Please Make Sure the param.dat File In The Same "
                                       L"Folder With the Application");
    EXPECT_EQ(boxes.Shown[0].Buttons, BoxButtons::Ok);
}

TEST_F(SettingsFile, SaveWritesEveryLineWithCrLfAndReadsBack) {
    state.RowLimit = 30;
    state.UpdateSeconds = 5;
    state.LogFolder = L"E:\\logs\\W3SVC1\\";
    state.FilterIps = {L"127.0.0.1", L" 10.0.0.9 "};
    ASSERT_TRUE(SaveSettings(state, SettingsPath(), codePage, boxes));
    EXPECT_EQ(TempFolder::Read(SettingsPath()),
              ScrambledFile({"30", "5", "E:\\logs\\W3SVC1\\", "127.0.0.1", " 10.0.0.9 "}));

    SharedState loaded;
    ASSERT_EQ(LoadSettings(loaded, SettingsPath(), files, codePage, timer, boxes), LoadResult::Loaded);
    EXPECT_EQ(loaded.RowLimit, 30);
    EXPECT_EQ(loaded.LogFolder, state.LogFolder);
    EXPECT_EQ(loaded.FilterIps, state.FilterIps);

    state.FilterIps.clear();
    ASSERT_TRUE(SaveSettings(state, SettingsPath(), codePage, boxes));
    EXPECT_EQ(TempFolder::Read(SettingsPath()), ScrambledFile({"30", "5", "E:\\logs\\W3SVC1\\"}));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "param.dat.new"));
}

TEST_F(SettingsFile, SaveIfDirtyWritesOnlyChangesAndClearsTheFlag) {
    state.RowLimit = 12;
    SaveIfDirty(state, SettingsPath(), codePage, boxes);
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));

    state.SettingsDirty = true;
    SaveIfDirty(state, SettingsPath(), codePage, boxes);
    EXPECT_FALSE(state.SettingsDirty);
    EXPECT_EQ(TempFolder::Read(SettingsPath()).substr(0, 4), ScrambleText("12") + "\r\n");
}

TEST_F(SettingsFile, AFailedSaveKeepsTheOldFileAndTheDirtyFlag) {
    const std::string old = ScrambledFile({"30", "5", "C:\\", "127.0.0.1"});
    folder.Write("param.dat", old);
    // A folder in the way of the temporary file makes the write fail on every system, as root too.
    std::filesystem::create_directory(folder.Path() / "param.dat.new");
    std::filesystem::create_directory(folder.Path() / "param.dat.new" / "busy");

    state.RowLimit = 1;
    state.SettingsDirty = true;
    SaveIfDirty(state, SettingsPath(), codePage, boxes);
    EXPECT_TRUE(state.SettingsDirty);
    EXPECT_EQ(TempFolder::Read(SettingsPath()), old);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Title, L"Save Settings");
    EXPECT_NE(boxes.Shown[0].Text.find(SettingsPath().wstring()), std::wstring::npos);
}

} // namespace
} // namespace tarnwatch
