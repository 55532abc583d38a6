/* xgrabprobe: test-only X client that tells whether another client holds the pointer and
 * the keyboard grabbed, as "pointer held|free keyboard held|free". It asks the server for
 * both grabs itself: a grab it gets is given back at once (the state then was "free", which
 * is what a test that expected "held" fails on), one refused as already grabbed is "held".
 * Exit status 2 when the display cannot be opened. */
#include <X11/Xlib.h>
#include <stdio.h>

static const char* state(int status) {
    if (status == AlreadyGrabbed) return "held";
    if (status == GrabSuccess) return "free";
    return "unknown";
}

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xgrabprobe: cannot open the display\n");
        return 2;
    }
    Window root = DefaultRootWindow(display);
    int pointer = XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                               CurrentTime);
    if (pointer == GrabSuccess) XUngrabPointer(display, CurrentTime);
    int keyboard = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (keyboard == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
    printf("pointer %s keyboard %s\n", state(pointer), state(keyboard));
    XCloseDisplay(display);
    return 0;
}
