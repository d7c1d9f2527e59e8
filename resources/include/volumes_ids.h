// Message numbers of the volume, device and element number areas.
#pragma once

#define IDS_ELEMENT_FILE_UNREADABLE 62001  // element.dat cannot be loaded
#define IDS_FORMAT_FAILED 62012            // %d: public result code of a volume format
#define IDS_DEVICE_LIST_FULL 62101         // %d: capacity of the device list
