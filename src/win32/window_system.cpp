#include "win32/window_system.h"

namespace orvan::win32 {

FormWindow& Win32WindowSystem::Add(ui::Form& form, HWND owner) {
    auto window = std::make_unique<FormWindow>(form, owner);
    window->OnCloseRequest = [this, &form] {
        if (OnCloseRequest) OnCloseRequest(form);
    };
    FormWindow& added = *window;
    windows_[&form] = std::move(window);
    return added;
}

FormWindow& Win32WindowSystem::OpenConsole(ui::Form& console) {
    FormWindow& window = Add(console, nullptr);
    console_ = window.Hwnd();
    return window;
}

void Win32WindowSystem::Open(ui::Form& form, bool visible) {
    FormWindow& window = Add(form, console_);
    if (visible) window.Show();
}

void Win32WindowSystem::Close(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    it->second->Destroy();
    closed_.push_back(std::move(it->second));
    windows_.erase(it);
}

bool Win32WindowSystem::TranslateKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    for (auto& [form, window] : windows_)
        if (window->Hwnd() == message.hwnd || IsChild(window->Hwnd(), message.hwnd))
            return window->KeyDown(message.hwnd, message.wParam);
    return false;
}

void Win32WindowSystem::BringToFront(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    HWND hwnd = it->second->Hwnd();
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
}

}  // namespace orvan::win32
