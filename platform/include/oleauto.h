// The Windows header name, served by our platform on Linux.
#pragma once

#include "platform/com/oleauto.h"
