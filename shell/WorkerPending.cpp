// Until the generators and office servers are part of the build, start-up
// ends at the message loop and Cancel closes the dialog.
#include "shell/Worker.h"

void StartWorker() {}
