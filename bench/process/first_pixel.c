/* Times a program's first frame on the X screen, for scripts/bench.sh (a Linux helper: it reads the
 * screen as the user sees it, which no Windows-side tool can do under Wine).
 *   first_pixel X Y                                  prints the colour at X,Y as "R G B"
 *   first_pixel X Y R G B TOLERANCE TIMEOUT_MS CMD... starts CMD, then prints "MS PID": the
 *       milliseconds from just before the start until X,Y shows R,G,B (each channel within
 *       TOLERANCE), and the pid CMD runs as. Exit code 1 when the colour did not appear in time.
 * The screen is read with 1x1 XGetImage calls about every 2 ms: a round trip costs far less than
 * a frame, so the figure is precise to a few milliseconds, unlike a screenshot tool per poll. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

extern char** environ;

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec / 1e6;
}

static int channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    while (!(mask & 1)) {
        mask >>= 1;
        pixel >>= 1;
    }
    return (int)((pixel & mask) * 255 / mask);
}

static int readPixel(Display* display, int x, int y, int rgb[3]) {
    Window root = DefaultRootWindow(display);
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0;
    unsigned long pixel = XGetPixel(image, 0, 0);
    rgb[0] = channel(pixel, image->red_mask);
    rgb[1] = channel(pixel, image->green_mask);
    rgb[2] = channel(pixel, image->blue_mask);
    XDestroyImage(image);
    return 1;
}

static int near(int a, int b, int tolerance) { return abs(a - b) <= tolerance; }

int main(int argc, char* argv[]) {
    if (argc != 3 && argc < 9) {
        fprintf(stderr, "usage: first_pixel X Y [R G B TOLERANCE TIMEOUT_MS COMMAND...]\n");
        return 2;
    }
    /* A busy Xvfb now and then refuses a connection; a moment later it takes it. */
    Display* display = NULL;
    const struct timespec retry = {0, 20 * 1000 * 1000};
    for (int attempt = 0; attempt < 100 && !(display = XOpenDisplay(NULL)); ++attempt) nanosleep(&retry, NULL);
    if (!display) {
        fprintf(stderr, "first_pixel: cannot open display\n");
        return 2;
    }
    const int x = atoi(argv[1]), y = atoi(argv[2]);
    int rgb[3];
    if (argc == 3) {
        if (!readPixel(display, x, y, rgb)) return 1;
        printf("%d %d %d\n", rgb[0], rgb[1], rgb[2]);
        return 0;
    }
    const int want[3] = {atoi(argv[3]), atoi(argv[4]), atoi(argv[5])};
    const int tolerance = atoi(argv[6]);
    const double timeout = atof(argv[7]);

    /* The command outlives this tool; on our output it would hold a caller's $(...) open. */
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    for (int fd = 0; fd < 3; ++fd) posix_spawn_file_actions_addopen(&quiet, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY, 0);

    pid_t child;
    const double start = nowMs();
    if (posix_spawnp(&child, argv[8], &quiet, NULL, &argv[8], environ) != 0) {
        perror("first_pixel: cannot start the command");
        return 2;
    }
    const struct timespec pause = {0, 2 * 1000 * 1000};
    for (;;) {
        const double now = nowMs();
        if (readPixel(display, x, y, rgb) && near(rgb[0], want[0], tolerance) && near(rgb[1], want[1], tolerance) &&
            near(rgb[2], want[2], tolerance)) {
            printf("%.0f %d\n", now - start, (int)child);
            return 0;
        }
        if (now - start > timeout) {
            printf("timeout %d\n", (int)child);
            return 1;
        }
        nanosleep(&pause, NULL);
    }
}
