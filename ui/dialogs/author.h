// Who made the program and where to find them: the About box, the online help and the website line.
#pragma once

namespace tarnwatch::ui {

// A reserved example domain: nothing here points at anybody's real site.
inline constexpr const wchar_t* AuthorHost = L"www.example.org";
inline constexpr const wchar_t* AuthorEmail = L"corvin@example.org";
inline constexpr const wchar_t* CopyrightNotice = L"(C) 2003-2026 Corvin";
inline constexpr const wchar_t* OnlineHelpPath = L"/url/message/message.asp";

} // namespace tarnwatch::ui
