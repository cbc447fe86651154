// Windows-1252's best-fit byte for a character the code page lacks.
#pragma once

// The byte, or -1 when Windows has no best fit for c either.
int Cp1252BestFit(char32_t c);
