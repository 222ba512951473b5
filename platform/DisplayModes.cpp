#include "platform/DisplayModes.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cmath>

namespace {

// The size in bits of one framebuffer pixel at the screen's depth: depth 24
// is stored in 32-bit pixels.
int BitsPerPixel(Display* display, int screen) {
    const int depth       = DefaultDepth(display, screen);
    int       formatCount = 0;
    int       bits        = depth;
    if (XPixmapFormatValues* formats = XListPixmapFormats(display, &formatCount)) {
        for (int index = 0; index < formatCount; ++index) {
            if (formats[index].depth == depth) {
                bits = formats[index].bits_per_pixel;
            }
        }
        XFree(formats);
    }
    return bits;
}

// Vertical refresh in Hz from the mode timings; 0 when the timings are
// missing (virtual framebuffers report a zero dot clock).
int RefreshRate(const XRRModeInfo& mode) {
    double lines = mode.vTotal;
    if (mode.modeFlags & RR_DoubleScan) {
        lines *= 2.0;
    }
    if (mode.modeFlags & RR_Interlace) {
        lines /= 2.0;
    }
    const double pixelsPerFrame = static_cast<double>(mode.hTotal) * lines;
    if (mode.dotClock == 0 || pixelsPerFrame <= 0.0) {
        return 0;
    }
    return static_cast<int>(std::lround(static_cast<double>(mode.dotClock) / pixelsPerFrame));
}

const XRRModeInfo* FindMode(const XRRScreenResources& resources, RRMode id) {
    for (int index = 0; index < resources.nmode; ++index) {
        if (resources.modes[index].id == id) {
            return &resources.modes[index];
        }
    }
    return nullptr;
}

// The primary output, or the first connected output when none is primary
// (servers before RandR 1.3 know no primary output).
RROutput ChooseOutput(Display* display, Window root, const XRRScreenResources& resources, bool knowsPrimary) {
    const RROutput primary = knowsPrimary ? XRRGetOutputPrimary(display, root) : None;
    if (primary != None) {
        return primary;
    }
    for (int index = 0; index < resources.noutput; ++index) {
        XRROutputInfo* info =
            XRRGetOutputInfo(display, const_cast<XRRScreenResources*>(&resources), resources.outputs[index]);
        const bool connected = info != nullptr && info->connection == RR_Connected;
        if (info != nullptr) {
            XRRFreeOutputInfo(info);
        }
        if (connected) {
            return resources.outputs[index];
        }
    }
    return None;
}

bool AppendOutputModes(Display* display, int screen, std::vector<CDisplayMode>& modes) {
    int eventBase = 0;
    int errorBase = 0;
    int major     = 0;
    int minor     = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        (major < 1 || (major == 1 && minor < 2))) {
        return false;
    }
    const Window        root      = RootWindow(display, screen);
    XRRScreenResources* resources = XRRGetScreenResources(display, root);
    if (resources == nullptr) {
        return false;
    }
    const RROutput output = ChooseOutput(display, root, *resources, major > 1 || minor >= 3);
    XRROutputInfo* info   = output != None ? XRRGetOutputInfo(display, resources, output) : nullptr;
    if (info != nullptr) {
        const int bits = BitsPerPixel(display, screen);
        for (int index = 0; index < info->nmode; ++index) {
            if (const XRRModeInfo* mode = FindMode(*resources, info->modes[index])) {
                modes.push_back(
                    {static_cast<int>(mode->width), static_cast<int>(mode->height), bits, RefreshRate(*mode)});
            }
        }
        XRRFreeOutputInfo(info);
    }
    XRRFreeScreenResources(resources);
    return !modes.empty();
}

} // namespace

std::vector<CDisplayMode> CDisplayModes::Enumerate() {
    std::vector<CDisplayMode> modes;
    Display*                  display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return modes;
    }
    const int screen = DefaultScreen(display);
    if (!AppendOutputModes(display, screen, modes)) {
        modes.push_back(
            {DisplayWidth(display, screen), DisplayHeight(display, screen), BitsPerPixel(display, screen), 0});
    }
    XCloseDisplay(display);
    return modes;
}
