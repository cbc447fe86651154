#include "platform/host/RegisterServers.h"

#include "office/spreadsheet/Registration.h"
#include "office/wordprocessor/Registration.h"

void RegisterOfficeServers() {
    RegisterWordProcessorServer();
    RegisterSpreadsheetServer();
}
