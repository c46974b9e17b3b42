#include "Display.h"

#include <sys/stat.h>
#include <unistd.h>

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

void WoxPrepareRuntimeDir()
{
    if (IsSet("XDG_RUNTIME_DIR"))
        return;
    const char* pszTemp = std::getenv("TMPDIR");
    const uid_t uid = getuid();
    const std::string folder = std::string(pszTemp && *pszTemp ? pszTemp : "/tmp") + "/wox-runtime-" + std::to_string(uid);
    mkdir(folder.c_str(), 0700);
    struct stat info = {};
    // Only a real folder of this user that no one else can enter will do.
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != uid || (info.st_mode & 0777) != 0700)
        return;
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 0);
}
