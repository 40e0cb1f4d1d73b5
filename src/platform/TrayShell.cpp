#include "platform/TrayShell.h"
