#include "platform/VersionProbe.h"

quint32 SystemVersionProbe::version() const
{
    return pack(10, 0, true);
}
