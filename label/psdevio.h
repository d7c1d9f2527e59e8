// Device I/O of kvtlabel: opening drives and changers, reads and writes with
// not-ready retries, the driver's requests and the tape and optical
// primitives. Result codes: 0 success, 600 failure, 603 no client library.
#pragma once
#include <stdint.h>
#include <stddef.h>
#include "labdesc.h"

// Driver requests.
enum : uint32_t {
    QORA_DDIOC_DEVINFO = 0x8400C000,
    QORA_DDIOC_RETURN_ERROR_STATE = 0x8400C008,
    QORA_DDIOC_GET_DEVICE_INFO = 0x8400C010,
    QORA_DDIOC_GET_MEDIUM_INFO = 0x8400C014,
    QORA_MTIOC_GET_DEVICE_INFO = 0x8401C004,
    QORA_LBIOC_ELEMENT_COUNT = 0x8401C050,
    QORA_LBIOC_INVENTORY = 0x8401C054,
    QORA_LBIOC_MOVE_MEDIUM = 0x8401C058,
    QORA_LBIOC_AUDIT = 0x8401C05C,
    QORA_LBIOC_EXTEND_RETRACT = 0x8401C060,
    QORA_LBIOC_LIBRARY_INFO = 0x8401C064,
    QORA_LBIOC_POSITION = 0x8401C068,
    QORA_MTIOC_SET_MODE = 0x8402C034,
    QORA_MTIOC_GET_DEVICE_NUMBER = 0x8402C040,
    QORA_MTIOC_OP = 0x8402C044,
    QORA_OPIOC_PREPARE_DRIVE = 0x8403C078,
    QORA_OPIOC_FORMAT_UNIT = 0x8403C07C,
    QORA_OPIOC_EJECT = 0x8403C084,
};

enum { QORA_DEVTYPE_CHANGER = 0x6A, QORA_DEVTYPE_OPTICAL = 0x64 };
enum { MT_OP_OFFL = 5, MT_OP_REW = 6, MT_OP_WEOF = 10 };

struct devinfo {
    char devtype, flags, devsubtype, pad;
    int32_t u[6];
};
struct qora_dd_get_device_info_t {
    int32_t compcode, transfer_limit;
    uint32_t read_formats, write_formats;
    uint8_t buffered_mode;
    uint32_t device_group;
    char driver_ident[10];
    uint8_t ww_name[8];
    char dd_device_serial[32];
    uint8_t reserved[30];
};
struct qora_dd_get_medium_info_t {
    int32_t compcode;
    uint32_t format_loaded;
    int32_t medium_type;
    uint32_t capacity, block_size;
    uint8_t write_protect, worm;
    uint32_t device_group;
    uint8_t reserved[64];
};
struct qora_dd_return_error_state_t {
    int32_t last_status, last_compcode, information, information_valid;
    uint32_t number_sense;
    uint8_t sense_bytes[255];
};
struct qora_dd_inq_data_t {
    uint8_t device_type, device_type_modifier, flags, flags2, additional_length,
        reserved, reserved2, flags3;
    char vendor_id[8], product_id[16], product_revision_level[4];
    uint8_t vendor_spec1[20];
};
struct qora_dd_inquiry_t {
    int32_t compcode;
    qora_dd_inq_data_t data;
    char driver_ident[10], reserved[22];
    uint8_t ww_name[8];
    char dd_device_serial[32];
};
struct qora_mt_set_mode_t {
    int32_t compcode;
    uint32_t eot_mode, format, block_size;
};
struct stop {
    int16_t st_op;
    int32_t st_count;
};
struct qora_op_prepare_drive_t { int32_t compcode; };
struct qora_op_eject_t { int32_t compcode; };
struct qora_op_format_unit_t { int32_t compcode; uint8_t option; };
struct qora_lb_library_info_t {
    int32_t compcode, support_module, robot_can_eject, inv_unreliable, skip_all_audits,
        must_position_to_elem, moves_slot_to_slot, uses_magazine, robot_can_initiate,
        robot_can_invert, stackable_magazine, reserved[9];
};
struct qora_lb_element_count_t {
    int32_t compcode, drives, slots, transp_elems, eeports;
};
struct qora_lb_storage_element_state_t {
    uint16_t address;
    int32_t abnormal_state;
    uint8_t accessible, full, source_addr_flag;
    uint16_t source_elem_addr;
    uint8_t invert_media_flag, barcode_flag;
    int32_t barcode_len;
    uint8_t barcode[36];
};
typedef qora_lb_storage_element_state_t qora_lb_medium_changer_state_t;
struct qora_lb_import_export_state_t {
    uint16_t address;
    uint8_t import_enable, export_enable;
    int32_t abnormal_state;
    uint8_t accessible, full, oper_placed_media, source_addr_flag;
    uint16_t source_elem_addr;
    uint8_t invert_media_flag, barcode_flag;
    int32_t barcode_len;
    uint8_t barcode[36];
};
struct qora_lb_drive_state_t {
    uint16_t address;
    int32_t abnormal_state;
    uint8_t accessible, full, scsi_bus_not_pres, scsi_bus_id_flag, scsi_bus_id, lun_flag, lun,
        source_addr_flag;
    uint16_t source_elem_addr;
    uint8_t invert_media_flag, barcode_flag;
    int32_t barcode_len;
    uint8_t barcode[36];
};
// The four element arrays are the caller's; on this 64-bit program their
// pointers are 8 bytes wide.
struct qora_lb_inventory_t {
    int32_t compcode, drives, slots, eeports, transp_elems;
    qora_lb_drive_state_t* drive_state;
    qora_lb_storage_element_state_t* storage_element_state;
    qora_lb_import_export_state_t* import_export_state;
    qora_lb_medium_changer_state_t* medium_changer_state;
};
struct qora_lb_audit_t { int32_t compcode, barcode; };
struct qora_lb_move_medium_t {
    int32_t compcode;
    uint16_t transport_element, source_address, destination_address;
    int32_t invert;
};
struct qora_lb_position_t {
    int32_t compcode;
    uint16_t transport_element, destination_address;
    int32_t invert;
    uint8_t reserved[32];
};
struct qora_lb_extend_retract_t {
    int32_t compcode, option;
    uint16_t eeport_addr, transp_elem_addr;
};

static_assert(sizeof(devinfo) == 28);
static_assert(sizeof(qora_dd_get_device_info_t) == 104);
static_assert(sizeof(qora_dd_get_medium_info_t) == 92);
static_assert(sizeof(qora_dd_return_error_state_t) == 276);
static_assert(sizeof(qora_dd_inq_data_t) == 56);
static_assert(sizeof(qora_dd_inquiry_t) == 132);
static_assert(sizeof(qora_mt_set_mode_t) == 16);
static_assert(sizeof(stop) == 8);
static_assert(sizeof(qora_op_prepare_drive_t) == 4 && sizeof(qora_op_eject_t) == 4);
static_assert(sizeof(qora_op_format_unit_t) == 8);
static_assert(sizeof(qora_lb_library_info_t) == 80);
static_assert(sizeof(qora_lb_element_count_t) == 20);
static_assert(sizeof(qora_lb_storage_element_state_t) == 56);
static_assert(sizeof(qora_lb_import_export_state_t) == 56);
static_assert(sizeof(qora_lb_drive_state_t) == 60);
static_assert(sizeof(qora_lb_inventory_t) == 20 + 4 + 4 * sizeof(void*));
static_assert(sizeof(qora_lb_audit_t) == 8);
static_assert(sizeof(qora_lb_move_medium_t) == 16);
static_assert(sizeof(qora_lb_position_t) == 44);
static_assert(sizeof(qora_lb_extend_retract_t) == 12);

#define IO_NAME_SIZE 256

int  ioOpenDevice(const char* devName, int openMode, int nonDelayFlag, int* handleP);
void ioCloseDevice(int handle);
int  ioReadDevice(int handle, void* buf, unsigned size, unsigned* amtReadP);
int  ioWriteDevice(int handle, const void* buf, unsigned size, unsigned* amtWrittenP);
int  ioTapeIoctl(int handle, uint32_t function, void* argP, unsigned argSize);
int  ioAutoIoctl(int handle, uint32_t function, void* argP, unsigned argSize);
// Rewrites an address name (MT/LB/OP target.lun.bus.port) in place into the
// device name published in the SCSI device map; `name` holds IO_NAME_SIZE.
void NTDeviceName(char* name);
// Traces the driver's status and sense data of the last failed request.
void TraceSenseData(const char* opName, int handle);

int TapeRewind(int handle);
int tapeEject(int handle);
int TapeSetMode(int handle, uint32_t format, uint32_t blockSize);
int TapeWriteEOF(int handle, int count);
int TapeRead(int handle, void* buf, unsigned size, unsigned* amtP);
int TapeWrite(int handle, const void* buf, unsigned size, unsigned* amtP);

int ntpOpREW(int handle);
int ntpOpOFFL(int handle);
int ntpOpSetMode(int handle);
int ntpOpWEOF(int handle, int count);
int ntpOpRead(int handle, void* buf, unsigned size, unsigned* amtP);
int ntpOpWrite(int handle, const void* buf, unsigned size, unsigned* amtP);
int ntpOpGetModel(int handle, int inLibMode, const char* model);

int optGetDevType(const char* devName, int* devTypeP);
int optWaitReady(driveDescT* driveP);
int optFormatMedia(int handle);
int optReadSectors(int handle, void* buf, int firstSector, int numSectors, int sectorSize);
int optWriteSectors(int handle, const void* buf, int firstSector, int numSectors, int sectorSize);
int optEjectCartridge(driveDescT* driveP);

int  LmcpOpen(const char* name, int openMode, int nonDelayFlag, int* handleP);
void LmcpClose(int handle);
int  LmcpIoctl(int handle, uint32_t function, void* argP, unsigned argSize);
int  cartGetDevNo(driveDescT* driveP, int* devNoP);
