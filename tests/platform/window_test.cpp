// Window classes and windows: creation, geometry, closing, minimising,
// teardown and the refusal of bad handles.
#include "platform/backend.h"
#include "platform/core/core.h"
#include "tests/platform/test_support.h"

#include <gtest/gtest.h>

namespace {

using test::seen;
using test::SeenOf;

constexpr DWORD kMainStyle = WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX;

HINSTANCE MenuModule() {
    return test::RegisterTestModule(
        {{zplat::RES_MENU, "MENU_1", test::MakeMenu({{1000, "&New game"}, {1001, "&About"}})}});
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetAll(); }
    void TearDown() override { zplat::ShutdownPlatform(); }
};

TEST_F(WindowTest, CreateSendsWmCreateBeforeReturningWithTheClientReady) {
    HINSTANCE module = MenuModule();
    ASSERT_NE(test::RegisterTestClass("CL_MAIN", module, "MENU_1"), 0);
    HWND returned = nullptr;
    RECT clientInCreate{};
    bool drewInCreate = false;
    test::hook = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_CREATE)
            return false;
        EXPECT_EQ(returned, nullptr); // still inside CreateWindowExA
        GetClientRect(hwnd, &clientInCreate);
        HDC dc = GetDC(hwnd);
        drewInCreate = SetPixel(dc, 0, 0, RGB(1, 2, 3)) != CLR_INVALID;
        ReleaseDC(hwnd, dc);
        *result = 0;
        return true;
    };
    returned = CreateWindowExA(0, "cl_main", "ZORVAK", kMainStyle, 10, 20, 517, 374, NULL, NULL,
                               module, NULL);
    ASSERT_NE(returned, nullptr);
    ASSERT_EQ(SeenOf(WM_CREATE).size(), 1u);
    EXPECT_EQ(SeenOf(WM_CREATE)[0].hwnd, returned);
    EXPECT_EQ(clientInCreate.right, 511);
    EXPECT_EQ(clientInCreate.bottom, 330);
    EXPECT_TRUE(drewInCreate);
    EXPECT_EQ(headless::ClientImage(returned).At(0, 0), 0x010203u);
    EXPECT_EQ(headless::Title(returned), "ZORVAK");
    EXPECT_FALSE(headless::IsVisible(returned)); // until ShowWindow
}

TEST_F(WindowTest, OuterSizesLeaveTheFrameCaptionAndMenuBar) {
    HINSTANCE module = MenuModule();
    test::RegisterTestClass("WITH_MENU", module, "MENU_1");
    test::RegisterTestClass("NO_MENU", module);
    headless::SetDesktopSize(1024, 768);

    HWND main = CreateWindowExA(0, "WITH_MENU", "", kMainStyle, 253, 197, 517, 374, NULL, NULL,
                                module, NULL);
    HWND about = CreateWindowExA(0, "NO_MENU", "", WS_DLGFRAME, 285, 218, 453, 332, NULL, NULL,
                                 module, NULL);
    ASSERT_TRUE(main && about);
    RECT r;
    ASSERT_TRUE(GetClientRect(main, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 511);
    EXPECT_EQ(r.bottom, 330);
    ASSERT_TRUE(GetClientRect(about, &r));
    EXPECT_EQ(r.right, 447);
    EXPECT_EQ(r.bottom, 307);
    ASSERT_TRUE(GetWindowRect(main, &r));
    EXPECT_EQ(r.left, 253);
    EXPECT_EQ(r.top, 197);
    EXPECT_EQ(r.right, 253 + 517);
    EXPECT_EQ(r.bottom, 197 + 374);
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &r));
    EXPECT_EQ(r.right, 1024);
    EXPECT_EQ(r.bottom, 768);

    // The composed image is the 19-pixel menu bar above the client area.
    headless::Image composed = headless::ComposedImage(main);
    EXPECT_EQ(composed.width, 511);
    EXPECT_EQ(composed.height, 330 + 19);
    EXPECT_EQ(headless::ComposedImage(about).height, 307);
    EXPECT_EQ(headless::Windows(), (std::vector<HWND>{main, about}));
    EXPECT_EQ(headless::FindWindowByClass("no_menu"), about);
}

TEST_F(WindowTest, CreationFailuresGiveNull) {
    HINSTANCE module = MenuModule();
    EXPECT_EQ(CreateWindowExA(0, "NOT_REGISTERED", "", 0, 0, 0, 100, 100, NULL, NULL, module, NULL),
              nullptr);

    ASSERT_NE(test::RegisterTestClass("ONCE", module), 0);
    EXPECT_EQ(test::RegisterTestClass("once", module), 0); // names ignore case

    headless::FailWindowCreation(true);
    EXPECT_EQ(CreateWindowExA(0, "ONCE", "", 0, 0, 0, 100, 100, NULL, NULL, module, NULL), nullptr);
    EXPECT_TRUE(seen.empty()); // no WM_CREATE for a window that could not be made
    headless::FailWindowCreation(false);

    // A creation handler that refuses: the window is destroyed again.
    test::hook = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_CREATE)
            return false;
        *result = -1;
        return true;
    };
    EXPECT_EQ(CreateWindowExA(0, "ONCE", "", 0, 0, 0, 100, 100, NULL, NULL, module, NULL), nullptr);
    EXPECT_EQ(test::SeenSequence({WM_CREATE, WM_DESTROY}),
              (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_TRUE(headless::Windows().empty());
}

TEST_F(WindowTest, CloseGoesThroughScCloseWmCloseAndWmDestroy) {
    HINSTANCE module = MenuModule();
    test::RegisterTestClass("CL_MAIN", module, "MENU_1");
    test::hook = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_DESTROY)
            return false;
        PostQuitMessage(7);
        *result = 0;
        return true;
    };
    HWND w =
        CreateWindowExA(0, "CL_MAIN", "", kMainStyle, 0, 0, 517, 374, NULL, NULL, module, NULL);
    ShowWindow(w, SW_SHOW);
    headless::At(100, [w] { headless::Close(w); });
    EXPECT_EQ(test::RunLoop(), 7);
    EXPECT_EQ(test::SeenSequence({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(SeenOf(WM_SYSCOMMAND)[0].wParam, WPARAM(SC_CLOSE));
    EXPECT_TRUE(headless::Windows().empty());
    EXPECT_FALSE(SetWindowTextA(w, "gone"));

    // Alt+F4 takes the same road.
    seen.clear();
    w = CreateWindowExA(0, "CL_MAIN", "", kMainStyle, 0, 0, 517, 374, NULL, NULL, module, NULL);
    ShowWindow(w, SW_SHOW);
    headless::At(200, [w] {
        zplat::InputEvent altF4{};
        altF4.type = zplat::InputEvent::KeyDown;
        altF4.window = w;
        altF4.vk = 0x73;
        altF4.alt = true;
        zplat::PushInput(altF4);
    });
    EXPECT_EQ(test::RunLoop(), 7);
    EXPECT_EQ(test::SeenSequence({WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
}

TEST_F(WindowTest, MinimiseAndRestoreFollowSystemCommands) {
    HINSTANCE module = MenuModule();
    test::RegisterTestClass("CL_MAIN", module);
    HWND w =
        CreateWindowExA(0, "CL_MAIN", "", kMainStyle, 0, 0, 200, 200, NULL, NULL, module, NULL);
    ShowWindow(w, SW_SHOW);
    bool minimizedSeen = false, restoredSeen = false;
    headless::At(100, [&] { headless::Minimize(w); });
    headless::At(200, [&] {
        minimizedSeen = headless::IsMinimized(w);
        seen.clear();
        headless::Restore(w);
    });
    headless::At(300, [&] {
        restoredSeen = !headless::IsMinimized(w);
        PostQuitMessage(0);
    });
    SetTimer(w, 1, 1000, NULL); // keeps the loop alive between the events
    test::RunLoop();
    EXPECT_TRUE(minimizedSeen);
    EXPECT_TRUE(restoredSeen);
    // Restoring repaints the whole client area, background first.
    std::vector<UINT> after = test::SeenSequence({WM_SYSCOMMAND, WM_PAINT, WM_ERASEBKGND});
    EXPECT_EQ(after, (std::vector<UINT>{WM_SYSCOMMAND, WM_PAINT, WM_ERASEBKGND}));
    EXPECT_EQ(SeenOf(WM_SYSCOMMAND)[0].wParam, WPARAM(SC_RESTORE));
}

TEST_F(WindowTest, TeardownDispatchesNothing) {
    HINSTANCE module = MenuModule();
    test::RegisterTestClass("CL_MAIN", module, "MENU_1");
    HWND w =
        CreateWindowExA(0, "CL_MAIN", "", kMainStyle, 0, 0, 300, 300, NULL, NULL, module, NULL);
    ShowWindow(w, SW_SHOW);
    SetTimer(w, 1, 50, NULL);
    headless::At(120, [] { PostQuitMessage(0); });
    test::RunLoop();
    seen.clear();
    zplat::ShutdownPlatform();
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(headless::Windows().empty());
    // Handles from before stay dead, even once new objects take their slots.
    test::RegisterTestClass("CL_MAIN", module, "MENU_1");
    HWND again =
        CreateWindowExA(0, "CL_MAIN", "", kMainStyle, 0, 0, 300, 300, NULL, NULL, module, NULL);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, w);
    EXPECT_FALSE(SetWindowTextA(w, "stale"));
    EXPECT_EQ(GetDC(w), nullptr);
}

TEST_F(WindowTest, BadHandlesAreRefusedWithoutEffect) {
    HINSTANCE module = test::RegisterTestModule(
        {{zplat::RES_ICON, "IC_RED", test::SolidIcon(32, 9)},
         {zplat::RES_BITMAP, "BMP", test::MakeMonoBitmap(8, 8, [](int, int) { return 1; })}});
    test::RegisterTestClass("CL", module);
    HWND w = CreateWindowExA(0, "CL", "", kMainStyle, 0, 0, 100, 100, NULL, NULL, module, NULL);
    HICON icon = LoadIconA(module, "IC_RED");
    HBITMAP bitmap = LoadBitmapA(module, "BMP");
    ASSERT_TRUE(w && icon && bitmap);

    // Null handles.
    EXPECT_EQ(GetDC(NULL), nullptr);
    EXPECT_FALSE(DrawIcon(NULL, 0, 0, icon));
    EXPECT_EQ(SetPixel(NULL, 0, 0, 0), CLR_INVALID);
    EXPECT_EQ(BeginPaint(NULL, nullptr), nullptr);
    EXPECT_EQ(SetMapMode(NULL, MM_TEXT), 0);
    EXPECT_EQ(LoadIconA(NULL, "IC_RED"), nullptr);
    EXPECT_EQ(SendMessageA(NULL, WM_CLOSE, 0, 0), 0);

    // A released DC is stale: drawing through it does nothing.
    HDC dc = GetDC(w);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(w, dc), 1);
    EXPECT_EQ(ReleaseDC(w, dc), 0);
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(255, 0, 0)), CLR_INVALID);
    EXPECT_FALSE(DrawIcon(dc, 0, 0, icon));
    EXPECT_EQ(headless::ClientImage(w).At(1, 1), 0u);

    // Wrong types: a window as a DC, an icon as a bitmap, a bitmap into a
    // window DC.
    EXPECT_EQ(SetPixel(reinterpret_cast<HDC>(w), 0, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetObjectA(icon, sizeof(BITMAP), nullptr), 0);
    EXPECT_FALSE(DeleteObject(icon));
    HDC windowDc = GetDC(w);
    EXPECT_EQ(SelectObject(windowDc, bitmap), nullptr);
    EXPECT_FALSE(DeleteDC(windowDc)); // window DCs are released, not deleted
    ReleaseDC(w, windowDc);

    // Destroying twice: the second call finds nothing and does nothing.
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_FALSE(ShowWindow(w, SW_SHOW));
    EXPECT_EQ(SeenOf(WM_DESTROY).size(), 1u);
}

TEST_F(WindowTest, TitleBeepsMessageBoxesAndTickCount) {
    HINSTANCE module = MenuModule();
    test::RegisterTestClass("CL", module);
    HWND w =
        CreateWindowExA(0, "CL", "first", kMainStyle, 0, 0, 100, 100, NULL, NULL, module, NULL);
    EXPECT_TRUE(SetWindowTextA(w, "Lives: 05 - Level 01 - Score: 00000"));
    EXPECT_EQ(headless::Title(w), "Lives: 05 - Level 01 - Score: 00000");

    MessageBeep(0xFFFFFFFF);
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(headless::Beeps(), 2);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(NULL, "Unable to start Zorvak", "ERROR", MB_OK), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Unable to start Zorvak"), std::string::npos);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Unable to start Zorvak");
    EXPECT_EQ(headless::MessageBoxes()[0].caption, "ERROR");

    // Milliseconds, wrapping at 32 bits.
    headless::Reset(0xFFFFFFF0ull);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    headless::Advance(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
}

} // namespace
