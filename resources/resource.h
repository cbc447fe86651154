// Identifiers of the program's resources and of the progress dialog's controls.
#pragma once

#define VS_VERSION_INFO 1
#define IDS_APP_TITLE 100
#define IDS_WINDOW_CLASS 102
#define IDI_APP_ICON 104
#define IDD_PROGRESS 105
#define IDC_STATUS 106
#define IDC_PERCENT 107
// Sent by the worker to the progress dialog when it has finished.
#define IDM_CLOSE_PROGRESS 108
