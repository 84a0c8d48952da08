#include "tests/support/recording_window.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <utility>

namespace support {

std::vector<Seen> seen;
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> hook;

namespace {

bool pumping = false;

} // namespace

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back(Seen{hwnd, message, wParam, lParam});
    LRESULT result = 0;
    if (hook && hook(hwnd, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Handle(UINT message, std::function<LRESULT(HWND)> fn) {
    hook = [=](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        return msg == message && (*result = fn(hwnd), true);
    };
}

void ResetPlatform() {
    headless::Reset();
    seen.clear();
    hook = nullptr;
    headless::OnFailure([](const std::string &why) { ADD_FAILURE() << "headless: " << why; });
    pumping = false;
    headless::OnIdle([] {
        if (std::exchange(pumping, false))
            PostQuitMessage(0);
    });
}

void Pump() {
    pumping = true;
    RunLoop();
    pumping = false;
}

ATOM RegisterTestClass(const char *name, HINSTANCE instance, const char *menu, int stockBrush) {
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(stockBrush));
    HCURSOR arrow = LoadCursorA(NULL, IDC_ARROW);
    const WNDCLASSA wc{
        CS_VREDRAW | CS_HREDRAW, RecordingProc, 0, 0, instance, NULL, arrow, brush, menu, name};
    return RegisterClassA(&wc);
}

HWND MakeWindow(const char *cls, HINSTANCE instance, int width, int height, DWORD style) {
    return CreateWindowExA(0, cls, "", style, 0, 0, width, height, NULL, NULL, instance, NULL);
}

int RunLoop() {
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}

std::vector<Seen> SeenOf(UINT message) {
    std::vector<Seen> out;
    std::copy_if(seen.begin(), seen.end(), std::back_inserter(out),
                 [=](const Seen &s) { return s.message == message; });
    return out;
}

std::vector<WPARAM> WParamsOf(UINT message) {
    std::vector<WPARAM> out;
    for (const Seen &s : SeenOf(message))
        out.push_back(s.wParam);
    return out;
}

std::vector<UINT> SeenSequence(const std::vector<UINT> &interesting) {
    std::vector<UINT> out;
    for (const Seen &s : seen)
        if (std::count(interesting.begin(), interesting.end(), s.message))
            out.push_back(s.message);
    return out;
}

int CountColor(const headless::Image &img, uint32_t rgb, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += img.At(x, y) == rgb;
    return n;
}

} // namespace support
