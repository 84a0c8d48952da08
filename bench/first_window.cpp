// Starts a program on the X display and reports how long it took to map its
// first top-level window, measured by the X server's own notification.
//
//   first_window COMMAND [ARGS...]
//
// Prints "MILLISECONDS PID" and exits, leaving the program running; exit
// code 1 (and the program killed) when no window is mapped within 30 s.
#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv) {
    Display *display = argc > 1 ? XOpenDisplay(nullptr) : nullptr;
    if (display == nullptr) {
        std::fprintf(stderr, "usage: first_window COMMAND [ARGS...], with a display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                const double ms = std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now() - start)
                                      .count();
                std::printf("%.1f %d\n", ms, int(pid));
                return 0;
            }
        }
        const double waited =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (waited > 30 || waitpid(pid, nullptr, WNOHANG) == pid) {
            kill(pid, SIGKILL);
            std::fprintf(stderr, "first_window: no window from %s\n", argv[1]);
            return 1;
        }
        poll(&fd, 1, 100);
    }
}
