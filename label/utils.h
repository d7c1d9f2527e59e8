// Volume label formats: the EBCDIC tables, the tape VOL1 record and the
// optical label sector. No Win32 here.
#pragma once
#include <stddef.h>
#include <stdint.h>

void ConvertToEbcdic(void* buf, size_t count);
void ConvertToAscii(void* buf, size_t count);

struct tevraVol1 {
    char labelId[3];
    char labelNum[1];
    char volSer[6];
    char reserved_1[1];
    char vtocPointer[10];
    char reserved_2[13];
    char recTechnique[2];
    char reserved_3[5];
    char ownerName[10];
    char reserved_4[29];
};
static_assert(sizeof(tevraVol1) == 80);
static_assert(offsetof(tevraVol1, volSer) == 4 && offsetof(tevraVol1, ownerName) == 41
              && offsetof(tevraVol1, reserved_4) == 51);

#define TAPE_VOLNAME_MAX 6
#define OPT_VOLNAME_MAX 32
#define OPT_SECTOR_SIZE 2048
#define OPT_SIGNATURE "$QORA$00"
#define OPT_SIGNATURE_LEN 8

// The EBCDIC VOL1 record for a volume name (at most 6 characters are used).
void labBuildVol1(const char* volName, unsigned char record[80]);
// Reads the volume name from an EBCDIC record of `len` bytes: 1 and the name
// (up to its first blank, at most 6 characters) when it is a VOL1 label.
int labParseVol1(const unsigned char* record, size_t len, char volName[TAPE_VOLNAME_MAX + 1]);

// The 2048-byte optical label sector for a side (0 side A, 1 side B).
void labBuildOpticalSector(const char* volName, int side, unsigned char sector[OPT_SECTOR_SIZE]);
// 1 and the name when the sector carries the signature.
int labParseOpticalSector(const unsigned char* sector, size_t len, char volName[OPT_VOLNAME_MAX + 1]);
