// The IO Library's export, looked up by name by the host and the component.
#include "WoxBinary.h"

WOX_EXPORT IWoxBinary* CreateWoxBinary()
{
    return WoxCreateWoxBinary();
}
