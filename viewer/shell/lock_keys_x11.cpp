// lock_keys_x11.cpp: the lock keys' indicators of an X11 display through its keyboard extension (XKB).
#include "shell/lock_keys.hpp"

#include <QGuiApplication>

#if defined(TESSALY_HAVE_X11)
#include <X11/XKBlib.h>
#endif

namespace tessaly {

#if defined(TESSALY_HAVE_X11)

namespace {

// The display's XKB indicators of the four keys: their index, or -1 where the keymap has none.
struct Indicators {
    Display* display = nullptr;
    bool usable = false;
    int kana = -1;
    int caps = -1;
    int num = -1;
    int scroll = -1;
};

int indicatorIndex(Display* display, const char* name)
{
    int index = -1;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, XInternAtom(display, name, False), &index, &on, nullptr, nullptr))
        return -1;
    return index;
}

// Looked up once per display: indicator names do not move while the program runs.
const Indicators& indicatorsOf(Display* display)
{
    static Indicators known;
    if (known.display == display)
        return known;
    known = Indicators {};
    known.display = display;
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    known.usable = XkbQueryExtension(display, &opcode, &event, &error, &major, &minor);
    if (known.usable) {
        known.kana = indicatorIndex(display, "Kana");
        known.caps = indicatorIndex(display, "Caps Lock");
        known.num = indicatorIndex(display, "Num Lock");
        known.scroll = indicatorIndex(display, "Scroll Lock");
    }
    return known;
}

std::optional<bool> bit(unsigned state, int index)
{
    if (index < 0 || index >= 32)
        return std::nullopt;
    return (state >> index & 1u) != 0;
}

} // namespace

LockKeyStates readX11LockKeys()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return {};
    const Indicators& indicators = indicatorsOf(display);
    unsigned state = 0;
    if (!indicators.usable || XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success)
        return {};
    return { bit(state, indicators.kana), bit(state, indicators.caps), bit(state, indicators.num),
        bit(state, indicators.scroll) };
}

#else

LockKeyStates readX11LockKeys()
{
    return {};
}

#endif

} // namespace tessaly
