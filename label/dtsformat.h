// Recording format per drive kind and medium. No Win32 here.
#pragma once
#include <stdint.h>

#define DTS_NO_FORMAT 0xFFFFFFFFu

// The format to write, or DTS_NO_FORMAT when the medium suits none.
uint32_t emmChooseFormat(uint32_t writeFormats, int mediaType);
uint32_t dltChooseFormat(uint32_t writeFormats, int mediaType);
uint32_t qicChooseFormat(uint32_t devGroup, uint32_t writeFormats, int mediaType);
uint32_t ecartChooseFormat(uint32_t devGroup, uint32_t writeFormats, int mediaType);
