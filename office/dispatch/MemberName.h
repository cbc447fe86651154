// Member names compare without regard to (ASCII) case, as automation requires.
#pragma once

#include "office/dispatch/OleString.h"

OleString LowerCaseName(OleStringView name);
