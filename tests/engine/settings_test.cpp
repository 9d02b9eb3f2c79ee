#include "engine/settings.h"
#include "engine/std_file_system.h"
#include "tests/engine/fakes.h"
#include "tests/engine/temp_folder.h"

#include <gtest/gtest.h>

namespace tarnwatch {
namespace {

using Entries = std::vector<std::wstring>;

std::string ScrambledFile(const std::vector<std::string>& plainLines) {
    std::string file;
    for (const auto& line : plainLines) {
        file += ScrambleText(line) + "\r\n";
    }
    return file;
}

class SettingsFile : public ::testing::Test {
protected:
    LoadResult Load() { return LoadSettings(state, path, files, codePage, timer, boxes); }
    LoadResult Load(const std::vector<std::string>& plainLines) {
        folder.Write("param.dat", ScrambledFile(plainLines));
        return Load();
    }
    void ExpectOneBoxNamingTheFile(const std::wstring& title) {
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0].Title, title);
        EXPECT_NE(boxes.Shown[0].Text.find(path.wstring()), std::wstring::npos);
        boxes.Shown.clear();
    }

    testing::TempFolder folder;
    std::filesystem::path path = folder.Path() / "param.dat";
    SharedState state;
    StdFileSystem files;
    Latin1CodePage codePage;
    testing::RecordingTimer timer;
    testing::ScriptedBoxes boxes;
};

TEST(ScrambleText, IsItsOwnInverseAndNeverMakesLineEndsOfPrintableCharacters) {
    for (int code = 0; code < 256; ++code) {
        const std::string one(1, static_cast<char>(code));
        EXPECT_EQ(ScrambleText(ScrambleText(one)), one);
        if (code >= 0x20 && code != 0x7F) {
            EXPECT_EQ(ScrambleText(one).find_first_of("\r\n"), std::string::npos) << code;
        }
    }
    EXPECT_NE(ScrambleText("30"), "30");
    EXPECT_EQ(ScrambleText(-42), ScrambleText("-42"));
}

TEST_F(SettingsFile, SavesEveryLineWithCrLfAndReadsItBack) {
    state.RowLimit = 30;
    state.UpdateSeconds = 5;
    state.LogFolder = L"E:\\logs\\W3SVC1\\";
    state.FilterIps = {L"127.0.0.1", L" 10.0.0.9 "};
    ASSERT_TRUE(SaveSettings(state, path, codePage, boxes));
    EXPECT_EQ(testing::TempFolder::Read(path),
              ScrambledFile({"30", "5", "E:\\logs\\W3SVC1\\", "127.0.0.1", " 10.0.0.9 "}));
    const SharedState saved = state;
    state = SharedState{};
    ASSERT_EQ(Load(), LoadResult::Loaded);
    EXPECT_EQ(state.RowLimit, 30);
    EXPECT_EQ(timer.IntervalMs, 5000);
    EXPECT_EQ(state.LogFolder, saved.LogFolder);
    EXPECT_EQ(state.FilterIps, saved.FilterIps);

    state.FilterIps.clear();
    ASSERT_TRUE(SaveSettings(state, path, codePage, boxes));
    EXPECT_EQ(testing::TempFolder::Read(path), ScrambledFile({"30", "5", "E:\\logs\\W3SVC1\\"}));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(SettingsFile, TrimsTheNumbersAndOnlyTheFirstFilterEntry) {
    ASSERT_EQ(Load({" 30 ", "-3", "  D:\\logs\\ ", " 10.0.0.1 ", " 10.0.0.2 ", ""}), LoadResult::Loaded);
    EXPECT_EQ(state.RowLimit, 30);
    EXPECT_EQ(state.UpdateSeconds, -3);
    EXPECT_EQ(timer.IntervalMs, 1000) << "a period below one second polls once a second";
    EXPECT_EQ(state.LogFolder, L"  D:\\logs\\ ");
    EXPECT_EQ(state.FilterIps, (Entries{L"10.0.0.1", L" 10.0.0.2 ", L""}));

    ASSERT_EQ(Load({"7", "2", "C:\\", ""}), LoadResult::Loaded);
    EXPECT_EQ(state.FilterIps, Entries{L""});
    state.FilterIps = {L"stale"};
    ASSERT_EQ(Load({"7", "2", "C:\\"}), LoadResult::Loaded);
    EXPECT_EQ(state.FilterIps, Entries{L"stale"}) << "a three-line file leaves the list alone";
}

TEST_F(SettingsFile, DamagedNumbersOrAMissingFileEndTheStartUpWithAMessage) {
    for (const std::string bad : {"thirty", "", "3 0", "2147483648", "-2147483649", "1e3"}) {
        EXPECT_EQ(Load({"30", bad, "C:\\", "127.0.0.1"}), LoadResult::Damaged) << bad;
        ExpectOneBoxNamingTheFile(L"Initialization Failed");
    }
    EXPECT_EQ(Load({"2147483647", "-2147483648"}), LoadResult::Loaded);
    EXPECT_EQ(state.RowLimit, 2147483647);
    EXPECT_EQ(state.UpdateSeconds, -2147483647 - 1);

    std::filesystem::remove(path);
    EXPECT_EQ(Load(), LoadResult::Missing);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, L"File -> " + path.wstring() +
                                       L"\r\nDont' Found!!! Please Make Sure the param.dat File In The Same "
                                       L"Folder With the Application");
    EXPECT_EQ(boxes.Shown[0].Title, L"Initialization Failed");
    EXPECT_EQ(boxes.Shown[0].Icon, BoxIcon::Critical);
}

TEST_F(SettingsFile, SaveIfDirtyWritesOnlyChangesClearsTheFlagAndKeepsItWhenTheSaveFails) {
    state.RowLimit = 12;
    SaveIfDirty(state, path, codePage, boxes);
    EXPECT_FALSE(std::filesystem::exists(path));
    state.SettingsDirty = true;
    SaveIfDirty(state, path, codePage, boxes);
    EXPECT_FALSE(state.SettingsDirty);
    const std::string old = testing::TempFolder::Read(path);
    EXPECT_EQ(old.substr(0, 4), ScrambleText("12") + "\r\n");

    // A folder in the way of the temporary file makes the write fail on every system, as root too.
    std::filesystem::create_directories(folder.Path() / "param.dat.new" / "busy");
    state.RowLimit = 1;
    state.SettingsDirty = true;
    SaveIfDirty(state, path, codePage, boxes);
    EXPECT_TRUE(state.SettingsDirty);
    EXPECT_EQ(testing::TempFolder::Read(path), old);
    ExpectOneBoxNamingTheFile(L"Save Settings");
}

} // namespace
} // namespace tarnwatch
