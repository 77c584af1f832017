// Starts a command and prints the milliseconds until a window with the given
// title is mapped on the X server, then ends the command and waits until that
// window is gone. It waits on the server's events instead of polling, so the
// measuring takes no processor time from the program measured.
//   map_watch TITLE COMMAND [ARG...]

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

bool Titled(Display* display, Window window, const char* title) {
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name) return false;
    const bool same = std::strcmp(name, title) == 0;
    XFree(name);
    return same;
}

// The next event, or false after the given milliseconds without one.
bool NextEvent(Display* display, XEvent& event, int milliseconds) {
    while (!XPending(display)) {
        pollfd wait{ConnectionNumber(display), POLLIN, 0};
        if (poll(&wait, 1, milliseconds) <= 0) return false;
    }
    XNextEvent(display, &event);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const char* title = argv[1];
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        // Only the figure goes out.
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, 1);
        dup2(nothing, 2);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    Window shown = 0;
    XEvent event;
    // A window may be mapped before its title is set: a title given later counts too.
    while (!shown && NextEvent(display, event, 30000)) {
        Window window = 0;
        if (event.type == MapNotify) window = event.xmap.window;
        if (event.type == PropertyNotify) window = event.xproperty.window;
        if (event.type == CreateNotify) XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
        XWindowAttributes attributes{};
        if (window && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
            Titled(display, window, title))
            shown = window;
    }
    const auto at = std::chrono::steady_clock::now();
    if (shown)
        std::printf("%lld\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(at - start).count()));
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    // The next launch starts with no window of this one left.
    while (shown && NextEvent(display, event, 5000))
        if ((event.type == UnmapNotify && event.xunmap.window == shown) ||
            (event.type == DestroyNotify && event.xdestroywindow.window == shown))
            break;
    XCloseDisplay(display);
    return shown ? 0 : 1;
}
