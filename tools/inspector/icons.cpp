#include "icons.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace inspector {
namespace {

using Pixels = std::vector<std::uint32_t>;

// Reads a w x h block of a DC as 32-bit top-down pixels.
Pixels ReadPixels(HDC source, int x, int y, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, source, x, y, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    Pixels pixels(first, first + static_cast<size_t>(w) * static_cast<size_t>(h));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The system icon drawn at its natural size over a plain background.
Pixels RenderIcon(HICON icon, std::uint32_t background, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    Pixels pixels = ReadPixels(memory, 0, 0, w, h);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int da = static_cast<int>((a >> shift) & 0xFF);
        const int db = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(da - db) > 24) return false;
    }
    return true;
}

size_t Mismatches(const Pixels& a, const Pixels& b) {
    size_t count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) count += Near(a[i], b[i]) ? 0U : 1U;
    return count;
}

}  // namespace

std::string IdentifyIcon(HWND iconStatic) {
    RECT client{};
    GetClientRect(iconStatic, &client);
    const int w = client.right < 32 ? client.right : 32;
    const int h = client.bottom < 32 ? client.bottom : 32;
    if (w <= 0 || h <= 0) return "unknown";
    POINT origin{0, 0};
    ClientToScreen(iconStatic, &origin);
    HDC screen = GetDC(nullptr);
    const Pixels shown = ReadPixels(screen, origin.x, origin.y, w, h);
    ReleaseDC(nullptr, screen);

    struct Candidate {
        const char* name;
        LPCSTR id;
    };
    static const Candidate kCandidates[] = {
        {"hand", IDI_HAND}, {"exclamation", IDI_EXCLAMATION}, {"asterisk", IDI_ASTERISK}, {"question", IDI_QUESTION}};
    const char* best = "unknown";
    size_t bestMismatches = static_cast<size_t>(w * h) / 10;  // at most 10% may differ
    for (const Candidate& candidate : kCandidates) {
        const Pixels drawn = RenderIcon(LoadIconA(nullptr, candidate.id), shown[0] & 0xFFFFFF, w, h);
        const size_t mismatches = Mismatches(shown, drawn);
        if (mismatches < bestMismatches) {
            bestMismatches = mismatches;
            best = candidate.name;
        }
    }
    return best;
}

}  // namespace inspector
