#include "tests/platform/test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <list>

namespace test {

const uint32_t kPalette16[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                 0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

std::vector<Seen> seen;
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> hook;

namespace {
bool pumping = false;
}

namespace {

void Put16(Bytes &b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(Bytes &b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutColor(Bytes &b, uint32_t rgb) {
    b.push_back(static_cast<unsigned char>(rgb));       // blue
    b.push_back(static_cast<unsigned char>(rgb >> 8));  // green
    b.push_back(static_cast<unsigned char>(rgb >> 16)); // red
    b.push_back(0);
}
void PutInfoHeader(Bytes &b, int width, int height, int bits, uint32_t imageSize, int colors) {
    Put32(b, 40);
    Put32(b, uint32_t(width));
    Put32(b, uint32_t(height));
    Put16(b, 1);
    Put16(b, unsigned(bits));
    Put32(b, 0); // uncompressed
    Put32(b, imageSize);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, uint32_t(colors));
    Put32(b, 0);
}

} // namespace

Bytes MakeIcon(int size, const std::function<int(int, int)> &index,
               const std::function<bool(int, int)> &clear) {
    int xorRow = (size * 4 + 31) / 32 * 4;
    int andRow = (size + 31) / 32 * 4;
    uint32_t imageBytes = 40 + 64 + uint32_t(xorRow * size + andRow * size);
    Bytes b;
    Put16(b, 0);
    Put16(b, 1); // icon
    Put16(b, 1); // one image
    b.push_back(static_cast<unsigned char>(size == 256 ? 0 : size));
    b.push_back(static_cast<unsigned char>(size == 256 ? 0 : size));
    b.push_back(16);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 4);
    Put32(b, imageBytes);
    Put32(b, 22);
    PutInfoHeader(b, size, size * 2, 4, uint32_t(xorRow * size + andRow * size), 0);
    for (uint32_t c : kPalette16)
        PutColor(b, c);
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(size_t(xorRow), 0);
        for (int x = 0; x < size; ++x)
            row[size_t(x / 2)] |= static_cast<unsigned char>((index(x, y) & 15) << (x % 2 ? 0 : 4));
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(size_t(andRow), 0);
        for (int x = 0; x < size; ++x) {
            if (clear(x, y))
                row[size_t(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes SolidIcon(int size, int paletteIndex) {
    return MakeIcon(
        size, [=](int, int) { return paletteIndex; }, [](int, int) { return false; });
}

Bytes MakeMonoBitmap(int width, int height, const std::function<int(int, int)> &bit,
                     uint32_t color0, uint32_t color1) {
    int rowBytes = (width + 31) / 32 * 4;
    uint32_t imageSize = uint32_t(rowBytes * height);
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 14 + 40 + 8 + imageSize);
    Put32(b, 0);
    Put32(b, 14 + 40 + 8);
    PutInfoHeader(b, width, height, 1, imageSize, 2);
    PutColor(b, color0);
    PutColor(b, color1);
    for (int y = height - 1; y >= 0; --y) {
        Bytes row(size_t(rowBytes), 0);
        for (int x = 0; x < width; ++x) {
            if (bit(x, y))
                row[size_t(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes MakeMenu(const std::vector<std::pair<unsigned, std::string>> &items) {
    Bytes b;
    Put16(b, 0);
    Put16(b, 0);
    for (size_t i = 0; i < items.size(); ++i) {
        Put16(b, i + 1 == items.size() ? 0x80 : 0);
        Put16(b, items[i].first);
        for (char c : items[i].second)
            Put16(b, static_cast<unsigned char>(c));
        Put16(b, 0);
    }
    return b;
}

HINSTANCE RegisterTestModule(std::vector<TestResource> resources) {
    // Modules are never unregistered, so their data stays for the process.
    static std::list<std::vector<TestResource>> keep;
    static std::list<std::vector<zplat::Resource>> tables;
    keep.push_back(std::move(resources));
    std::vector<zplat::Resource> table;
    for (const TestResource &r : keep.back())
        table.push_back(zplat::Resource{r.type, r.name.c_str(), r.data.data(), r.data.size()});
    tables.push_back(std::move(table));
    return zplat::RegisterModule(tables.back().data(), tables.back().size());
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back(Seen{hwnd, message, wParam, lParam});
    LRESULT result = 0;
    if (hook && hook(hwnd, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void ResetAll() {
    headless::Reset();
    seen.clear();
    hook = nullptr;
    headless::OnFailure([](const std::string &why) { ADD_FAILURE() << "headless: " << why; });
    pumping = false;
    headless::OnIdle([] {
        if (pumping) {
            pumping = false;
            PostQuitMessage(0);
        }
    });
}

void Pump() {
    pumping = true;
    RunLoop();
    pumping = false;
}

ATOM RegisterTestClass(const char *name, HINSTANCE instance, const char *menu, int stockBrush) {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
    wc.lpszMenuName = menu;
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
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
    for (const Seen &s : seen) {
        if (s.message == message)
            out.push_back(s);
    }
    return out;
}

std::vector<UINT> SeenSequence(const std::vector<UINT> &interesting) {
    std::vector<UINT> out;
    for (const Seen &s : seen) {
        if (std::find(interesting.begin(), interesting.end(), s.message) != interesting.end())
            out.push_back(s.message);
    }
    return out;
}

} // namespace test
