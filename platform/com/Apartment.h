// Per-thread COM initialisation state, shared by the run-time functions.
#pragma once

bool ComInitializedOnThisThread();
