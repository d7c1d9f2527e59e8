// The ACSLS client library (libacs.dll) as kvtlabel calls it: requests are
// answered asynchronously, each by an acknowledgement, optional intermediate
// responses and one final response, collected with acs_response.
#pragma once

#ifdef LIBACS_BUILD
#define ACSAPI __declspec(dllexport)
#else
#define ACSAPI __declspec(dllimport)
#endif

typedef unsigned short SEQ_NO;
typedef unsigned short REQ_ID;
typedef unsigned short LOCKID;
typedef int ACS;

typedef enum {
    STATUS_SUCCESS = 0,
    STATUS_ACS_NOT_IN_LIBRARY = 3,
    STATUS_ACS_OFFLINE = 4,
    STATUS_CAP_NOT_IN_LIBRARY = 8,
    STATUS_DRIVE_NOT_IN_LIBRARY = 14,
    STATUS_DRIVE_OFFLINE = 15,
    STATUS_DRIVE_IN_USE = 16,
    STATUS_DRIVE_EMPTY = 17,
    STATUS_DRIVE_AVAILABLE = 28,     /* a known drive that answers */
    STATUS_VOLUME_NOT_IN_LIBRARY = 40,
    STATUS_VOLUME_IN_DRIVE = 41,
    STATUS_VOLUME_IN_OTHER_ACS = 42,
    STATUS_VOLUME_IN_LIBRARY = 43,
    STATUS_VOLUME_EJECTED = 44,
    STATUS_INVALID_VALUE = 50,
    STATUS_COUNT_TOO_LARGE = 51,
    STATUS_NO_PENDING_RESPONSE = 52, /* acs_response with nothing outstanding */
    STATUS_RESPONSE_PENDING = 53,    /* acs_response time-out 0, nothing yet */
    STATUS_IPC_FAILURE = 54,         /* the server cannot be reached */
    STATUS_LIBRARY_FAILURE = 60
} STATUS;

typedef enum {
    STATE_ONLINE = 1,
    STATE_OFFLINE = 2,
    STATE_DIAGNOSTIC = 3
} STATE;

typedef enum {
    RT_ACKNOWLEDGE = 1,
    RT_INTERMEDIATE = 2,
    RT_FINAL = 4
} ACS_RESPONSE_TYPE;

typedef enum {
    LOCATION_CELL = 1,
    LOCATION_DRIVE = 2
} LOCATION;

#define ACS_MAX_IDS 42              /* entries in one request or response */
#define ACS_RESPONSE_SIZE 16384
#define ACS_EXTERNAL_LABEL_SIZE 6

typedef struct { char external_label[ACS_EXTERNAL_LABEL_SIZE + 1]; } VOLID;
typedef struct { int acs, lsm, panel, drive; } DRIVEID;
typedef struct { int acs, lsm, cap; } CAPID;   /* lsm and cap -1: any */
typedef struct { int acs, lsm, panel, row, column; } CELLID;

typedef struct {
    ACS acs_id;
    STATE state;
    STATUS status;
} QU_ACS_STATUS;

typedef struct {
    DRIVEID drive_id;
    VOLID vol_id;                   /* empty when the drive holds none */
    int drive_type;
    STATE state;
    STATUS status;
} QU_DRV_STATUS;

typedef struct {
    VOLID vol_id;
    LOCATION location_type;
    union { CELLID cell_id; DRIVEID drive_id; } location;   /* acs first in both */
    STATUS status;
} QU_VOL_STATUS;

typedef struct {
    STATUS query_acs_status;
    unsigned short count;
    QU_ACS_STATUS acs_status[ACS_MAX_IDS];
} ACS_QUERY_ACS_RESPONSE;

typedef struct {
    STATUS query_drv_status;
    unsigned short count;
    QU_DRV_STATUS drv_status[ACS_MAX_IDS];
} ACS_QUERY_DRV_RESPONSE;

typedef struct {
    STATUS query_vol_status;
    unsigned short count;
    QU_VOL_STATUS vol_status[ACS_MAX_IDS];
} ACS_QUERY_VOL_RESPONSE;

typedef struct {
    STATUS mount_status;
    VOLID vol_id;
    DRIVEID drive_id;
} ACS_MOUNT_RESPONSE;

typedef struct {
    STATUS dismount_status;
    VOLID vol_id;
    DRIVEID drive_id;
} ACS_DISMOUNT_RESPONSE;

typedef struct {
    VOLID vol_id;
    STATUS status;
} ACS_EJECT_VOL_STATUS;

typedef struct {
    STATUS eject_status;
    CAPID cap_id;
    unsigned short count;
    ACS_EJECT_VOL_STATUS vol_status[ACS_MAX_IDS];
} ACS_EJECT_RESPONSE;

typedef struct {
    STATUS ack_status;
} ACS_ACKNOWLEDGE_RESPONSE;

#ifdef __cplusplus
static_assert(sizeof(ACS_QUERY_VOL_RESPONSE) <= ACS_RESPONSE_SIZE, "volume batch");
extern "C" {
#endif

/* The returned status tells whether the request was accepted. */
ACSAPI STATUS acs_query_acs(SEQ_NO seq, ACS acs[], unsigned short count);
ACSAPI STATUS acs_query_drive(SEQ_NO seq, DRIVEID drive_id[], unsigned short count);
/* count 0: every volume of the library, ACS_MAX_IDS per response. */
ACSAPI STATUS acs_query_volume(SEQ_NO seq, VOLID vol_id[], unsigned short count);
ACSAPI STATUS acs_mount(SEQ_NO seq, LOCKID lock, VOLID vol_id, DRIVEID drive_id,
                        int readonly, int bypass);
ACSAPI STATUS acs_dismount(SEQ_NO seq, LOCKID lock, VOLID vol_id, DRIVEID drive_id, int force);
ACSAPI STATUS acs_eject(SEQ_NO seq, LOCKID lock, CAPID cap_id, unsigned short count, VOLID vol_id[]);
/* Takes the oldest outstanding response; timeout -1 waits without limit,
   0 answers STATUS_RESPONSE_PENDING at once. `buffer` has ACS_RESPONSE_SIZE bytes. */
ACSAPI STATUS acs_response(int timeout, SEQ_NO* seq, REQ_ID* req_id,
                           ACS_RESPONSE_TYPE* type, void* buffer);
ACSAPI const char* acs_status(STATUS status);
ACSAPI const char* acs_state(STATE state);

#ifdef __cplusplus
}
#endif
