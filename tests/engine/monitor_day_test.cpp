// The monitor over a day's logs: the start, header blocks with other fields, midnight, a settings file that
// was not written by the program, and failures inside a pass.
#include "engine/messages.h"
#include "engine/monitor.h"
#include "engine/monitor_rows.h"
#include "engine/settings.h"
#include "engine/startup.h"
#include "tests/engine/fakes.h"
#include "tests/support/iis_log.h"
#include "tests/support/memory_file_system.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarnwatch {
namespace {

using testing::LogHeader;
using testing::Request;
using Urls = std::vector<std::string>;

class CountingHost final : public MonitorHost {
public:
    int NewDays = 0;
    int Ended = 0;
    void ShowOptionsDialog() override {}
    void EndProgram() override { ++Ended; }
    void LogDayChanged() override { ++NewDays; }
};

// Rows that can fail to be added once, as a list control out of memory would.
class FailingRows final : public MonitorList {
public:
    MonitorRows Rows;
    bool FailNext = false;
    int RowCount() const override { return Rows.RowCount(); }
    void AppendRow(std::wstring_view time, std::string_view ip, std::string_view status,
                   std::string_view url) override {
        if (std::exchange(FailNext, false)) {
            throw std::bad_alloc();
        }
        Rows.AppendRow(time, ip, status, url);
    }
    void RemoveRow(int index) override { Rows.RemoveRow(index); }
    void CopyBorrowedFields() override { Rows.CopyBorrowedFields(); }
};

class MonitorDayTest : public ::testing::Test {
protected:
    static inline const std::wstring Settings = L"C:\\tarnwatch\\param.dat";
    static inline const std::wstring Folder = L"D:\\logs";

    static std::wstring LogOf(int day) { return Folder + L"\\" + TodayLogFileName({2003, 9, day}); }

    // param.dat as the program writes it: one scrambled value a line.
    void WriteSettings(std::vector<std::string> lines) {
        std::string bytes;
        for (const std::string& line : lines) {
            bytes += ScrambleText(line) + "\r\n";
        }
        files_.Create(Settings, bytes);
    }

    bool Start() {
        WriteSettings({"50", "5", "D:\\logs", "127.0.0.1"});
        return monitor_.StartMonitor(Settings);
    }
    void Append(int day, const std::string& bytes) { files_.At(LogOf(day)).Bytes += bytes; }
    void Tick() { monitor_.ReadNewLines(); }

    Urls Shown() const {
        Urls urls;
        for (int row = 1; row <= list_.Rows.RowCount(); ++row) {
            urls.push_back(list_.Rows.Row(row).Url);
        }
        return urls;
    }

    SharedState state_;
    testing::ScriptedBoxes boxes_;
    testing::RecordingTimer timer_;
    CountingHost host_;
    testing::FixedClock clock_;
    testing::EventLog events_;
    testing::CountingPump pump_;
    Latin1CodePage codePage_;
    testing::MemoryFileSystem files_;
    FailingRows list_;
    Monitor monitor_{state_, MonitorPorts{boxes_, timer_, host_, clock_, events_, events_, pump_, codePage_,
                                          files_, list_}};
};

TEST_F(MonitorDayTest, AFolderWithoutItsFinalBackslashStillNamesTheLogInIt) {
    files_.Create(LogOf(5), LogHeader());
    ASSERT_TRUE(Start());
    EXPECT_EQ(state_.LogFilePath, L"D:\\logs\\ex030905.log");
}

TEST_F(MonitorDayTest, NoRequestThatWasInTheLogAtTheStartBecomesARow) {
    files_.Create(LogOf(5), LogHeader() + Request("10.0.0.1", "/old") + "      \r\n\r\r  \n" +
                                Request("10.0.0.2", "/old-too"));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Shown(), Urls{});
    Append(5, Request("10.0.0.3", "/new"));
    Tick();
    EXPECT_EQ(Shown(), Urls{"/new"});
}

TEST_F(MonitorDayTest, ABlockWithOtherFieldsShowsNothingAndIsToldOnceUntilTheFieldsAreRightAgain) {
    files_.Create(LogOf(5), LogHeader());
    ASSERT_TRUE(Start());
    Append(5, Request("10.0.0.1", "/before") +
                  LogHeader("#Fields: date time s-ip c-ip cs-method cs-uri-stem sc-status") +
                  Request("10.0.0.2", "/other-fields"));
    Tick();
    Append(5, Request("10.0.0.3", "/still-other"));
    Tick();
    Append(5, LogHeader() + Request("10.0.0.4", "/after"));
    Tick();
    EXPECT_EQ(Shown(), (Urls{"/before", "/after"}));
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, messages::WrongFieldList());
    EXPECT_NE(boxes_.Shown[0].Icon, BoxIcon::Critical) << "the program goes on";
}

TEST_F(MonitorDayTest, AStartInsideABlockWithOtherFieldsShowsNothingOfIt) {
    files_.Create(LogOf(5), LogHeader() + Request("10.0.0.1") + LogHeader("#Fields: date time c-ip") +
                                Request("10.0.0.2"));
    ASSERT_TRUE(Start());
    Append(5, Request("10.0.0.3", "/other-fields"));
    Tick();
    EXPECT_EQ(Shown(), Urls{});
    EXPECT_EQ(boxes_.Shown.size(), 1u);
}

TEST_F(MonitorDayTest, AtMidnightTheOldLogIsReadToItsEndAndTheNewOneFromItsFirstLineOnceItExists) {
    files_.Create(LogOf(5), LogHeader());
    ASSERT_TRUE(Start());
    clock_.Date = {2003, 9, 6};
    Append(5, Request("10.0.0.1", "/late-on-the-5th"));
    Tick();
    EXPECT_EQ(state_.LogFilePath, LogOf(5)) << "no new file yet";
    Append(5, Request("10.0.0.2", "/last-of-the-5th"));
    files_.Create(LogOf(6), LogHeader() + Request("10.0.0.3", "/first-of-the-6th"));
    Tick();
    Tick();
    EXPECT_EQ(Shown(), (Urls{"/late-on-the-5th", "/last-of-the-5th", "/first-of-the-6th"}));
    EXPECT_EQ(state_.LogFilePath, LogOf(6));
    EXPECT_EQ(host_.NewDays, 1);

    clock_.Date = {2003, 9, 7};
    files_.Create(LogOf(7), LogHeader("#Fields: date time c-ip") + Request("10.0.0.4", "/wrong-fields"));
    Tick();
    EXPECT_EQ(Shown().back(), "/first-of-the-6th") << "the new file's own header decides";
    EXPECT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(host_.NewDays, 2);
}

TEST_F(MonitorDayTest, ASettingsFileTheProgramDidNotWriteIsRefusedWithTheRightMessage) {
    struct Case {
        const char* What;
        std::string Bytes;
        std::wstring Message;
    };
    for (const Case& test :
         {Case{"empty", "", messages::SettingsDamaged(Settings)},
          Case{"one line", ScrambleText("30") + "\r\n", messages::SettingsDamaged(Settings)},
          Case{"two lines", ScrambleText("30") + "\r\n" + ScrambleText("5") + "\r\n",
               messages::SettingsDamaged(Settings)},
          Case{"over 64 KiB",
               ScrambleText("30") + "\r\n" + ScrambleText("5") + "\r\n" + std::string(65536, 'x'),
               messages::SettingsDamaged(Settings)}}) {
        SCOPED_TRACE(test.What);
        boxes_ = {};
        files_.Create(Settings, test.Bytes);
        EXPECT_EQ(LoadSettings(state_, Settings, files_, codePage_, timer_, boxes_), LoadResult::Damaged);
        ASSERT_EQ(boxes_.Shown.size(), 1u);
        EXPECT_EQ(boxes_.Shown[0].Text, test.Message);
    }
    boxes_ = {};
    WriteSettings({"50", "5", "D:\\logs"});
    files_.FailingCalls = 1;
    EXPECT_EQ(LoadSettings(state_, Settings, files_, codePage_, timer_, boxes_), LoadResult::Unreadable);
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, messages::SettingsUnreadable(Settings)) << "not: missing";
}

TEST_F(MonitorDayTest, NoExceptionLeavesATickAndTheRequestItStoppedAtComesAtTheNext) {
    files_.Create(LogOf(5), LogHeader());
    ASSERT_TRUE(Start());
    Append(5, Request("10.0.0.1", "/1") + Request("10.0.0.2", "/2"));
    list_.FailNext = true;
    EXPECT_NO_THROW(Tick());
    Tick();
    EXPECT_EQ(Shown(), (Urls{"/1", "/2"}));
}

TEST_F(MonitorDayTest, TheFieldListCheckReadsNoMoreThanTheFourLinesNeed) {
    files_.Create(LogOf(5), LogHeader() + std::string(8 << 20, 'x') + "\r\n");
    const std::int64_t before = files_.BytesRead;
    EXPECT_TRUE(HasRequiredFieldList(files_, LogOf(5)));
    EXPECT_LE(files_.BytesRead - before, 64 * 1024);
}

} // namespace
} // namespace tarnwatch
