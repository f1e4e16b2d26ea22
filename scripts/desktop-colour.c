// Paints the X root window one colour through a pixmap that outlives this program, and names
// that pixmap in _XROOTPMAP_ID and _XSETROOT_ID, where compositing managers look for the desktop.
// Usage: desktop-colour RRGGBB (built and used by scripts/screenshots.sh)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        fprintf(stderr, "usage: desktop-colour RRGGBB\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "desktop-colour: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const unsigned width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
    XColor colour;
    char name[16];
    snprintf(name, sizeof name, "#%.6s", argv[1]);
    if (!XParseColor(display, DefaultColormap(display, screen), name, &colour) ||
        !XAllocColor(display, DefaultColormap(display, screen), &colour)) {
        fprintf(stderr, "desktop-colour: not a colour: %s\n", argv[1]);
        return 1;
    }
    const Pixmap pixmap = XCreatePixmap(display, root, width, height, DefaultDepth(display, screen));
    const GC gc = XCreateGC(display, pixmap, 0, NULL);
    XSetForeground(display, gc, colour.pixel);
    XFillRectangle(display, pixmap, gc, 0, 0, width, height);
    XFreeGC(display, gc);
    const char* properties[] = {"_XROOTPMAP_ID", "_XSETROOT_ID"};
    for (int i = 0; i < 2; ++i)
        XChangeProperty(display, root, XInternAtom(display, properties[i], False), XA_PIXMAP, 32, PropModeReplace,
                        (const unsigned char*)&pixmap, 1);
    XSetWindowBackgroundPixmap(display, root, pixmap);
    XClearWindow(display, root);
    // The pixmap must stay after this client disconnects: the compositor draws it.
    XSetCloseDownMode(display, RetainPermanent);
    XCloseDisplay(display);
    return 0;
}
