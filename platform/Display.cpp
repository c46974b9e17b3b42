#include "Display.h"

#include <cstdlib>
#include <string>

namespace
{
bool IsSet(const char* pszName)
{
    const char* pszValue = std::getenv(pszName);
    return pszValue && *pszValue;
}
}

bool WoxHasDisplay()
{
    if (IsSet("QT_QPA_PLATFORM"))
    {
        std::string platform = std::getenv("QT_QPA_PLATFORM");
        platform = platform.substr(0, platform.find(':'));
        if (platform == "offscreen" || platform == "minimal")
            return false;
        if (platform != "xcb" && platform != "wayland")
            return true;  // framebuffer and similar platforms draw to the screen themselves
    }
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}
