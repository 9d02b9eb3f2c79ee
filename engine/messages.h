// The program's own texts, shown in message boxes.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwatch::messages {

inline const std::wstring InitFailedTitle = L"Initialization Failed";

inline std::wstring SettingsMissing(const std::wstring& path) {
    return L"File -> " + path +
           L"\r\nDont' Found!!! Please Make Sure the param.dat File In The Same Folder With the Application";
}

inline std::wstring SettingsDamaged(const std::wstring& path) {
    return L"File -> " + path +
           L"\r\nIs Damaged!!! Please Make Sure the param.dat File Is Written By the Application";
}

inline std::wstring SettingsUnreadable(const std::wstring& path) {
    return L"File -> " + path +
           L"\r\nCan't be Read!!! Please Make Sure the param.dat File Is Not Locked And Can Be Read By the "
           L"Application";
}

inline std::wstring LogFileMissing(const std::wstring& path) {
    return L"File -> " + path +
           L"\r\nDon't Found!!! Please Check Your Logfile Path or IIS Setting, IIS Setting Must be Named by "
           L"Local "
           L"Time and Update by Date";
}

inline const std::wstring RequiredFieldList = L"#Fields: date time c-ip cs-username s-ip s-port cs-method "
                                              L"cs-uri-stem cs-uri-query sc-status cs(User-Agent) ";

inline std::wstring WrongFieldList() {
    return L"IIS Setting Error!!!, The Logfile Format Must be\r\n" + RequiredFieldList;
}

// A new header block in the log with other fields: its requests are not shown until the fields are right.
inline const std::wstring FieldListChangedTitle = L"Log Format Changed";

inline const std::wstring SaveSettingsTitle = L"Save Settings";

inline const std::wstring SaveQuestion = L"The Corvin's Tarnwatch Settings Has been Modified , Save Or Not ?";

inline std::wstring SettingsNotWritten(const std::wstring& path) {
    return L"File -> " + path +
           L"\r\nCan't be Written!!! The Settings Are Not Saved, Please Make Sure the Folder Of the "
           L"Application "
           L"Is Writable";
}

// The settings file the program reads at its start has a largest size, and the filter list is what grows.
inline std::wstring SettingsTooLarge(const std::wstring& path, std::int64_t largestBytes) {
    return L"File -> " + path + L"\r\nNot Saved!!! The Settings Would Be Larger Than " +
           std::to_wstring(largestBytes / (1024 * 1024)) +
           L" MB, Too Large For the Application To Read Back; Please Delete Some Filter IPs And Save Again";
}

inline const std::wstring OpenLogFailedTitle = L"Open LogFile Failed";

inline std::wstring LogTooBigToOpen(const std::wstring& path) {
    return L"File -> " + path + L"\r\nIs Biger then 100M, Please Backup It First!!!";
}

inline std::wstring LogMissingToOpen(const std::wstring& path) {
    return L"File -> " + path + L"\r\nDon't Found!!!";
}

// The log is there, but the system will not let it be read: the reason is the system's own.
inline std::wstring LogNotOpened(const std::wstring& path, const std::wstring& reason) {
    return L"File -> " + path + L"\r\nCan't be Opened!!! " + reason;
}

inline const std::wstring MinimizeFailedTitle = L"Minimize Failed";

// Hidden without an icon in the notification area, the window could not be brought back.
inline const std::wstring TrayIconRefused =
    L"The Notification Area Refused the Tarnwatch Icon!!! The Window Stays Open, Please Try Again Later";

} // namespace tarnwatch::messages
