// Owning wrappers for Windows handles: non-copyable, movable, released exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace tarnwatch::win {

template <typename Handle, typename Traits> class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }

    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.handle_, Traits::Invalid()));
        }
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

    void Reset(Handle handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }

    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }

private:
    Handle handle_ = Traits::Invalid();
};

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON icon) { ::DestroyIcon(icon); }
};

struct FontTraits {
    static HFONT Invalid() { return nullptr; }
    static void Close(HFONT font) { ::DeleteObject(font); }
};

struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU menu) { ::DestroyMenu(menu); }
};

struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Close(HWND window) { ::DestroyWindow(window); }
};

using FileHandle = Owned<HANDLE, FileHandleTraits>;
using KernelHandle = Owned<HANDLE, KernelHandleTraits>;
using IconHandle = Owned<HICON, IconTraits>;
using FontHandle = Owned<HFONT, FontTraits>;
// A menu that is not attached to a window; a window's menu bar is destroyed with the window.
using MenuHandle = Owned<HMENU, MenuTraits>;
using WindowHandle = Owned<HWND, WindowTraits>;

} // namespace tarnwatch::win
