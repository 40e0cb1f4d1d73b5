#include "support/FakeClock.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatusLine.h"
