// Installs the word processor as "Word.Application" for CLSCTX_LOCAL_SERVER in
// the class registry: every CoCreateInstance makes a new, hidden application
// with no documents.
#pragma once

void RegisterWordProcessorServer();
