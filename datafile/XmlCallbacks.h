// The four Expat callbacks that build the tree. Each does nothing when its
// user data is none.
#pragma once

void OnXmlDeclaration(void* userData, const char* version, const char* encoding, int standalone);
void OnStartElement(void* userData, const char* name, const char** attributes);
void OnEndElement(void* userData, const char* name);
void OnCharacterData(void* userData, const char* text, int length);
