// Installs the spreadsheet server as "Excel.Application" in the class registry,
// for CLSCTX_LOCAL_SERVER: every CoCreateInstance gives a new application.
#pragma once

void RegisterSpreadsheetServer();
