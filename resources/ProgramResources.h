// The program's resources: strings, icon, progress dialog and version.
#pragma once

#include "platform/win32/ResourceModule.h"

const ResourceModule& ProgramResources();

// The icon's images, 16x16 and 32x32 with 16 colours.
std::span<const IconImageResource> AppIconImages();
