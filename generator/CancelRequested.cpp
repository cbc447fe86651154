#include "generator/CancelRequested.h"

std::atomic<BYTE> CancelRequested{0};
