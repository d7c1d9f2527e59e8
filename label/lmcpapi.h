// Requests of the 8120 library manager client library (libtevra.dll) as
// kvtlabel issues them through ioctl_tevraatl. The layouts are fixed by the
// library manager; every field is zero unless the request sets it.
#pragma once
#include <stdint.h>

#define LMCP_MOUNT   0x004C6D31u   /* mtlmarg */
#define LMCP_DEMOUNT 0x004C6D32u   /* mtldarg */
#define LMCP_SET_CATEGORY 0x00506D34u   /* mtlsvcarg */
#define LMCP_QUERY   0x045C6D37u   /* mtlqarg */

#define LMCP_INSERT_CATEGORY 0xFF00
#define LMCP_EJECT_CATEGORY  0xFF10

/* Query sub-commands. */
#define LMCP_QUERY_VOLUME_DATA  1
#define LMCP_QUERY_LIBRARY_DATA 2
#define LMCP_QUERY_INVENTORY    5

/* Completion codes (cc) of the stand-in library manager. */
#define LMCP_CC_OK             0
#define LMCP_CC_ALREADY_DONE   1   /* mount: volume already in that drive; demount: drive empty */
#define LMCP_CC_DONE_WARNING   2   /* done, with a warning */
#define LMCP_CC_DRIVE_OCCUPIED 3   /* mount: another volume is in the drive */
#define LMCP_CC_NO_VOLUME      4   /* the library does not know the volume */
#define LMCP_CC_WRONG_CATEGORY 5   /* the volume is not in the source category */
#define LMCP_CC_NO_DEVICE      6   /* no drive has that device number */
#define LMCP_CC_VOLUME_IN_USE  7   /* the volume is mounted in another drive */
#define LMCP_CC_INVALID        8   /* unknown request or sub-command */

/* Error recovery actions (fourth sense byte) that need the operator. */
#define LMCP_ERA_INTERVENTION_A 105
#define LMCP_ERA_INTERVENTION_B 115
#define LMCP_ERA_INTERVENTION_C 128
#define LMCP_ERA_INTERVENTION_D 132

#define LMCP_VOLSER_SIZE 8     /* blank-filled, name left-justified */
#define LMCP_SENSE_SIZE 32
#define LMCP_INVENTORY_RECORDS 100

struct mtlmret {
    int cc;
    int up_comp;
    unsigned int req_id;
    int number_sense;
    unsigned char sense_bytes[LMCP_SENSE_SIZE];
};

struct mtlmarg {
    int flags;
    int versn;
    int device;
    int wait_flg;
    uint16_t target_cat;
    uint16_t source_cat;
    char volser[LMCP_VOLSER_SIZE];
    struct mtlmret mtlmret;
};

struct mtldret {
    int cc;
    int up_comp;
    unsigned int req_id;
    int number_sense;
    unsigned char sense_bytes[LMCP_SENSE_SIZE];
};

struct mtldarg {
    int flags;
    int versn;
    int device;
    int wait_flg;
    uint16_t target_cat;
    uint16_t pad;
    char volser[LMCP_VOLSER_SIZE];
    struct mtldret mtldret;
};

struct mtlsvcret {
    int cc;
    int up_comp;
    unsigned int req_id;
    int device;
    int number_sense;
    unsigned char sense_bytes[LMCP_SENSE_SIZE];
};

struct mtlsvcarg {
    int flags;
    int versn;
    int device;
    int wait_flg;
    uint16_t target_cat;
    uint16_t source_cat;
    char volser[LMCP_VOLSER_SIZE];
    struct mtlsvcret mtlsvcret;
};

/* Data areas of a query reply; multi-byte numbers most significant first. */
struct lmcpVolumeData {          /* sub-command 1 */
    unsigned char vol_state;
    unsigned char vol_class;
    char volser[6];
    unsigned char category[2];
    unsigned char affinity_lst[32];
};

struct lmcpInvRecord {
    unsigned char cat[2];
    char volser[6];              /* blank-filled; a leading blank ends the inventory */
    unsigned char attr[2];       /* attr[0] != 0: skip; (attr[1] >> 4) & 3 == 1: 8140 media */
};

struct lmcpInventoryData {       /* sub-command 5 */
    unsigned char lib_seqno[3];
    unsigned char no_vols[4];
    unsigned char category[2];
    struct lmcpInvRecord inv_rec[LMCP_INVENTORY_RECORDS];
    unsigned char cat_seqno[4];  /* continuation number for the next query */
};

struct lib_query_info {
    unsigned char info_type;
    unsigned char data[1024];    /* lmcpVolumeData or lmcpInventoryData */
};

struct mtlqret {
    int cc;
    int up_comp;
    int device;
    int number_sense;
    unsigned char sense_bytes[LMCP_SENSE_SIZE];
    struct lib_query_info info;
};

struct mtlqarg {
    int flags;
    int versn;
    int device;
    int cat_seqno;
    int sub_cmd;
    uint16_t source_cat;
    uint16_t cat_to_read;
    char hostid[8];
    char volser[LMCP_VOLSER_SIZE];
    struct mtlqret mtlqret;
};

#ifdef __cplusplus
static_assert(sizeof(struct mtlmarg) == 76, "mtlmarg");
static_assert(sizeof(struct mtldarg) == 76, "mtldarg");
static_assert(sizeof(struct mtlsvcarg) == 80, "mtlsvcarg");
static_assert(sizeof(struct mtlqarg) == 1116, "mtlqarg");
static_assert(sizeof(struct lmcpInventoryData) <= 1024, "inventory data");
#endif

/* Entry points, C calling convention, looked up by name. */
typedef int (*open_tevraatl_t)(const char* name);
typedef int (*close_tevraatl_t)(int handle);
typedef int (*ioctl_tevraatl_t)(int handle, int function, void* argP);
