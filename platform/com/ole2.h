// The COM and OLE Automation subset of the platform: one include for the
// program and the automation servers alike.
#pragma once

#include "platform/com/comerror.h"
#include "platform/com/guiddef.h"
#include "platform/com/oaidl.h"
#include "platform/com/objbase.h"
#include "platform/com/oleauto.h"
#include "platform/com/unknwn.h"
