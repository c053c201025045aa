// A stand-in for libXinerama.so.1 that tells Wine of the monitors a test asks for. Xvfb's own
// Xinerama puts every screen at 0,0, which Wine takes for one mirrored monitor; with this library on
// LD_LIBRARY_PATH (and Wine's XRandR off) Wine lays its monitors out as listed here.
//
// The screens come as "WxH+X+Y,WxH+X+Y" from the file named by TAVOLIN_SCREENS_FILE if set, else
// from TAVOLIN_SCREENS; both are read on every call, so a test may change the file while Wine runs.
// The first screen is the primary: Wine makes the first screen it is told of the primary monitor
// (its "PrimaryMonitor" setting, 0 unless set) and moves the layout so that this one is at 0,0.
// Xinerama has no negative places, so the layout is moved here to start at 0,0 first; a screen left
// of or above the first one still lies left of or above it in Windows.
//
// Built without Xlib's headers: the few types are declared here as Xlib has them.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef int Bool;
typedef struct _XDisplay Display;
typedef struct {
    int screen_number;
    short x_org, y_org, width, height;
} XineramaScreenInfo;

enum { max_screens = 16 };

// The text of the layout, or null.
static char* layout_text(void) {
    const char* file = getenv("TAVOLIN_SCREENS_FILE");
    if (file && *file) {
        FILE* f = fopen(file, "r");
        if (!f) return NULL;
        char* text = calloc(1, 4096);
        if (text) fread(text, 1, 4095, f);
        fclose(f);
        return text;
    }
    const char* env = getenv("TAVOLIN_SCREENS");
    return env ? strdup(env) : NULL;
}

// Fills the screens from the layout; returns how many there are (0 when the text is not a layout).
static int read_screens(XineramaScreenInfo* out) {
    char* text = layout_text();
    if (!text) return 0;
    int n = 0, w, h, x, y, used;
    const char* p = text;
    while (n < max_screens && sscanf(p, " %dx%d%d%d%n", &w, &h, &x, &y, &used) == 4 && w > 0 && h > 0) {
        out[n].screen_number = n;
        out[n].x_org = (short)x, out[n].y_org = (short)y;
        out[n].width = (short)w, out[n].height = (short)h;
        n++;
        p += used;
        while (*p == ' ' || *p == '\n' || *p == '\r')
            p++;
        if (*p != ',') break;
        p++;
    }
    free(text);
    int left = 0, top = 0;
    for (int i = 0; i < n; i++) {
        if (out[i].x_org < left) left = out[i].x_org;
        if (out[i].y_org < top) top = out[i].y_org;
    }
    for (int i = 0; i < n; i++)
        out[i].x_org -= left, out[i].y_org -= top;
    return n;
}

Bool XineramaQueryExtension(Display* dpy, int* event_base, int* error_base) {
    (void)dpy;
    XineramaScreenInfo screens[max_screens];
    *event_base = *error_base = 0;
    return read_screens(screens) > 0;
}

Bool XineramaIsActive(Display* dpy) {
    int event_base, error_base;
    return XineramaQueryExtension(dpy, &event_base, &error_base);
}

// Xlib's callers free the result with XFree, which is free().
XineramaScreenInfo* XineramaQueryScreens(Display* dpy, int* number) {
    (void)dpy;
    XineramaScreenInfo screens[max_screens];
    *number = read_screens(screens);
    if (*number == 0) return NULL;
    XineramaScreenInfo* result = malloc(sizeof(screens[0]) * *number);
    if (result)
        memcpy(result, screens, sizeof(screens[0]) * *number);
    else
        *number = 0;
    return result;
}

// Wine does not ask for the version; other X libraries in the process may.
int XineramaQueryVersion(Display* dpy, int* major, int* minor) {
    (void)dpy;
    *major = 1, *minor = 1;
    return 1;
}
