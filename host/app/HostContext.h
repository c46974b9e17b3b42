#pragma once
// The host services as the wox program's commands see them.

#include "WoxHost.h"

class CHostContext : public CWoxHost
{
public:
    using CWoxHost::CWoxHost;
};
