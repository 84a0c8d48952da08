// Window classes and windows: creation, geometry, closing, minimising,
// teardown and the refusal of bad handles.
#include "platform/backend.h"
#include "tests/support/recording_window.h"
#include "tests/support/resource_files.h"

#include <gtest/gtest.h>

namespace {

using support::seen;
using support::SeenOf;
using support::SeenSequence;
using Ints = std::vector<long>;

Ints Rect(BOOL (*get)(HWND, LPRECT), HWND w) {
    RECT r{};
    EXPECT_TRUE(get(w, &r));
    return {r.left, r.top, r.right, r.bottom};
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::ResetPlatform();
        module = support::RegisterTestModule(
            {{zplat::RES_MENU, "MENU_1",
              support::MakeMenu({{1000, u"&New game"}, {1001, u"&About"}})},
             {zplat::RES_ICON, "IC_RED", support::SolidIcon(32, 9)},
             {zplat::RES_BITMAP, "BMP",
              support::MakeBitmap(8, 8, 1, [](int, int) { return 1u; })}});
        support::RegisterTestClass("CL_MAIN", module, "MENU_1");
        support::RegisterTestClass("NO_MENU", module);
    }
    void TearDown() override { zplat::ShutdownPlatform(); }
    HWND Main() { return support::MakeWindow("CL_MAIN", module, 517, 374); }
    HINSTANCE module = nullptr;
};

TEST_F(WindowTest, CreateSendsWmCreateWithTheClientReadyAndSizesLeaveFrameAndMenuBar) {
    headless::SetDesktopSize(1024, 768);
    HWND returned = nullptr;
    Ints clientInCreate;
    support::Handle(WM_CREATE, [&](HWND hwnd) {
        if (returned == nullptr) { // still inside the first CreateWindowExA
            clientInCreate = Rect(GetClientRect, hwnd);
        }
        HDC dc = GetDC(hwnd);
        EXPECT_NE(SetPixel(dc, 0, 0, RGB(1, 2, 3)), CLR_INVALID);
        ReleaseDC(hwnd, dc);
        return LRESULT(0);
    });
    returned = CreateWindowExA(0, "cl_main", "ZORVAK", support::kMainStyle, 253, 197, 517, 374,
                               NULL, NULL, module, NULL);
    HWND about = CreateWindowExA(0, "NO_MENU", "", WS_DLGFRAME, 285, 218, 453, 332, NULL, NULL,
                                 module, NULL);
    ASSERT_NE(returned, nullptr);
    ASSERT_NE(about, nullptr);
    ASSERT_EQ(SeenOf(WM_CREATE).size(), 2u);
    EXPECT_EQ(SeenOf(WM_CREATE)[0].hwnd, returned);
    EXPECT_EQ(clientInCreate, (Ints{0, 0, 511, 330}));
    EXPECT_EQ(Rect(GetClientRect, returned), (Ints{0, 0, 511, 330}));
    EXPECT_EQ(Rect(GetClientRect, about), (Ints{0, 0, 447, 307}));
    EXPECT_EQ(Rect(GetWindowRect, returned), (Ints{253, 197, 253 + 517, 197 + 374}));
    EXPECT_EQ(Rect(GetWindowRect, GetDesktopWindow()), (Ints{0, 0, 1024, 768}));
    EXPECT_EQ(headless::ClientImage(returned).At(0, 0), 0x010203u);
    EXPECT_EQ(headless::Title(returned), "ZORVAK");
    EXPECT_FALSE(headless::IsVisible(returned)); // until ShowWindow

    // The composed image is the 19-pixel menu bar above the client area.
    headless::Image composed = headless::ComposedImage(returned);
    EXPECT_EQ((Ints{composed.width, composed.height, headless::ComposedImage(about).height}),
              (Ints{511, 330 + 19, 307}));
    EXPECT_EQ(headless::Windows(), (std::vector<HWND>{returned, about}));
    EXPECT_EQ(headless::FindWindowByClass("no_menu"), about);
}

TEST_F(WindowTest, CreationFailuresGiveNull) {
    EXPECT_EQ(support::MakeWindow("NOT_REGISTERED", module, 100, 100), nullptr);
    EXPECT_EQ(support::RegisterTestClass("cl_main", module), 0); // names ignore case
    EXPECT_EQ(support::RegisterTestClass("", module), 0);

    headless::FailWindowCreation(true);
    EXPECT_EQ(Main(), nullptr);
    EXPECT_TRUE(seen.empty()); // no WM_CREATE for a window that could not be made
    headless::FailWindowCreation(false);

    // A creation handler that refuses: the window is destroyed again.
    support::Handle(WM_CREATE, [](HWND) { return LRESULT(-1); });
    EXPECT_EQ(Main(), nullptr);
    EXPECT_EQ(SeenSequence({WM_CREATE, WM_DESTROY}), (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_TRUE(headless::Windows().empty());
}

TEST_F(WindowTest, CloseButtonAndAltF4GoThroughScCloseWmCloseAndWmDestroy) {
    support::Handle(WM_DESTROY, [](HWND) { return PostQuitMessage(7), LRESULT(0); });
    for (bool altF4 : {false, true}) {
        seen.clear();
        HWND w = Main();
        ShowWindow(w, SW_SHOW);
        headless::At(headless::Now() + 100, [w, altF4] {
            if (!altF4) {
                return headless::Close(w);
            }
            zplat::PushInput({zplat::InputEvent::KeyDown, w, 0x73, true, false, 0, 0});
        });
        EXPECT_EQ(support::RunLoop(), 7);
        EXPECT_EQ(SeenSequence({WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
                  (altF4 ? std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}
                         : std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
        EXPECT_EQ(support::WParamsOf(WM_SYSCOMMAND), (std::vector<WPARAM>{SC_CLOSE}));
        EXPECT_TRUE(headless::Windows().empty());
        EXPECT_FALSE(SetWindowTextA(w, "gone"));
    }
}

TEST_F(WindowTest, MinimiseAndRestoreFollowSystemCommandsAndRestoreRepaints) {
    HWND w = Main();
    ShowWindow(w, SW_SHOW);
    headless::At(100, [&] { headless::Minimize(w); });
    headless::At(200, [&] {
        EXPECT_TRUE(headless::IsMinimized(w));
        seen.clear();
        headless::Restore(w);
    });
    headless::At(300, [&] {
        EXPECT_FALSE(headless::IsMinimized(w));
        PostQuitMessage(0);
    });
    SetTimer(w, 1, 1000, NULL); // keeps the loop alive between the events
    support::RunLoop();
    // Restoring repaints the whole client area, background first.
    EXPECT_EQ(SeenSequence({WM_SYSCOMMAND, WM_PAINT, WM_ERASEBKGND}),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_PAINT, WM_ERASEBKGND}));
    EXPECT_EQ(support::WParamsOf(WM_SYSCOMMAND), (std::vector<WPARAM>{SC_RESTORE}));
    // The low four bits of a system command are flags (a double click's
    // restore is SC_RESTORE | 2): the default handling ignores them.
    SendMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
    EXPECT_TRUE(headless::IsMinimized(w));
    SendMessageA(w, WM_SYSCOMMAND, SC_RESTORE | 15, 0);
    EXPECT_FALSE(headless::IsMinimized(w));
    SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE | 1, 0);
    EXPECT_TRUE(headless::Windows().empty());
}

// The window that a key typed on the desktop reaches: the one with the
// keyboard focus.
HWND KeyboardWindow() {
    seen.clear();
    zplat::PushInput({zplat::InputEvent::KeyDown, nullptr, 'K', false, false, 0, 0});
    support::Pump();
    return SeenOf(WM_KEYDOWN).empty() ? nullptr : SeenOf(WM_KEYDOWN)[0].hwnd;
}

// ShowWindow answers whether the window was visible before.  The commands
// that show without activating leave the keyboard where it was, the others
// give it to the window; two of them minimise it.  The window with the
// keyboard hidden or destroyed, the newest window still shown takes it, a
// minimised one only when no other is.  {command, then active, minimised}.
TEST_F(WindowTest, ShowCommandsActivateAndMinimiseAndTheKeyboardMovesOnAsOnWindows) {
    const int rows[][3] = {{SW_SHOW, 1, 0},     {SW_SHOWNORMAL, 1, 0},
                           {SW_SHOWNA, 0, 0},   {SW_SHOWNOACTIVATE, 0, 0},
                           {SW_MINIMIZE, 0, 1}, {SW_SHOWMINIMIZED, 1, 1}};
    HWND first = Main(), minimised = Main(), hidden = Main();
    ShowWindow(first, SW_SHOW);
    for (const auto &row : rows) {
        HWND w = Main();
        EXPECT_FALSE(ShowWindow(w, row[0]));
        EXPECT_TRUE(ShowWindow(w, row[0]));
        EXPECT_EQ(KeyboardWindow(), row[1] ? w : first) << "command " << row[0];
        EXPECT_EQ(headless::IsMinimized(w), row[2] != 0) << "command " << row[0];
        EXPECT_TRUE(ShowWindow(w, SW_HIDE));
        EXPECT_FALSE(ShowWindow(w, SW_HIDE));
        EXPECT_EQ(KeyboardWindow(), first) << "command " << row[0];
        DestroyWindow(w);
    }
    ShowWindow(minimised, SW_SHOWMINIMIZED);
    HWND a = Main(), b = Main();
    ShowWindow(a, SW_SHOW);
    ShowWindow(b, SW_SHOW);
    EXPECT_EQ(KeyboardWindow(), b);
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(KeyboardWindow(), a);
    DestroyWindow(a);
    EXPECT_EQ(KeyboardWindow(), first);
    ShowWindow(first, SW_HIDE);
    EXPECT_EQ(KeyboardWindow(), minimised);
    EXPECT_EQ(headless::FocusedWindow(), minimised); // the desktop is told
    EXPECT_FALSE(headless::IsVisible(hidden));
}

TEST_F(WindowTest, TeardownDispatchesNothingAndOldHandlesStayDead) {
    HWND w = Main();
    ShowWindow(w, SW_SHOW);
    SetTimer(w, 1, 50, NULL);
    headless::At(120, [] { PostQuitMessage(0); });
    support::RunLoop();
    seen.clear();
    zplat::ShutdownPlatform();
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(headless::Windows().empty());
    // Even once new objects take their slots.
    support::RegisterTestClass("CL_MAIN", module, "MENU_1");
    HWND again = Main();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, w);
    EXPECT_FALSE(SetWindowTextA(w, "stale"));
    EXPECT_EQ(GetDC(w), nullptr);
}

TEST_F(WindowTest, BadHandlesAreRefusedWithoutEffect) {
    HWND w = Main();
    HICON icon = LoadIconA(module, "IC_RED");
    HBITMAP bitmap = LoadBitmapA(module, "BMP");
    ASSERT_NE(w, nullptr);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(bitmap, nullptr);

    // A released DC is stale: drawing through it does nothing.
    HDC dc = GetDC(w);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(w, dc), 1);
    EXPECT_EQ(ReleaseDC(w, dc), 0);
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(255, 0, 0)), CLR_INVALID);
    EXPECT_FALSE(DrawIcon(dc, 0, 0, icon));
    EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
    EXPECT_EQ(headless::ClientImage(w).At(1, 1), 0u);

    // Null handles, a window as a DC, an icon as a bitmap, a bitmap into a
    // window DC, a window DC deleted instead of released.
    HDC windowDc = GetDC(w);
    EXPECT_EQ(GetDC(NULL), nullptr);
    EXPECT_EQ(BeginPaint(NULL, nullptr), nullptr);
    EXPECT_EQ(LoadIconA(NULL, "IC_RED"), nullptr);
    EXPECT_EQ(SetMapMode(NULL, MM_TEXT), 0);
    EXPECT_EQ(SendMessageA(NULL, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(DrawIcon(NULL, 0, 0, icon));
    EXPECT_EQ(GetObjectA(icon, sizeof(BITMAP), nullptr), 0);
    EXPECT_FALSE(DeleteObject(icon));
    EXPECT_EQ(SelectObject(windowDc, bitmap), nullptr);
    EXPECT_FALSE(DeleteDC(windowDc));
    EXPECT_EQ(ReleaseDC(NULL, windowDc), 0); // not the window's
    for (HDC bad : {HDC(NULL), reinterpret_cast<HDC>(w)}) {
        EXPECT_EQ(SetPixel(bad, 0, 0, 0), CLR_INVALID);
    }
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

// (Titles and beeps are read by the whole-program tests.)
TEST_F(WindowTest, MessageBoxesAndTickCount) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(NULL, "Unable to start Zorvak", "ERROR", MB_OK), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unable to start Zorvak"),
              std::string::npos);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].caption + ": " + headless::MessageBoxes()[0].text,
              "ERROR: Unable to start Zorvak");

    // Milliseconds, wrapping at 32 bits.
    headless::Reset(0xFFFFFFF0ull);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    headless::Advance(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
}

} // namespace
