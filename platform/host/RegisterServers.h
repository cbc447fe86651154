// Stands in for installing the office applications: makes "Word.Application"
// and "Excel.Application" known to the class registry of this process.
#pragma once

void RegisterOfficeServers();
