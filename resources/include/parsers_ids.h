// Message numbers of the labels the reply parsers look for. The texts are the
// labels the server prints in its own language on the lines named here.
#pragma once

#define IDS_LABEL_CG_DOMAIN 10002        // copy group line 0
#define IDS_LABEL_CG_POLICY_SET 10003    // copy group line 1
#define IDS_LABEL_CG_DESTINATION 10004   // copy group line 12
#define IDS_LABEL_NODE_NAME 10005        // node line 0
#define IDS_LABEL_NODE_PLATFORM 10006    // node line 1
#define IDS_LABEL_NODE_TYPE 10007        // node line 26
#define IDS_LABEL_SCHED_DOMAIN 10008     // schedule line 0
#define IDS_LABEL_SCHED_NAME 10009       // schedule line 1
#define IDS_LABEL_SCHED_DAY 10010        // schedule line 10
#define IDS_LABEL_ASSOC_DOMAIN 10011     // association line 0
#define IDS_LABEL_ASSOC_SCHEDULE 10012   // association line 1
#define IDS_LABEL_ASSOC_NODES 10013      // association line 2
#define IDS_LABEL_DOM_DOMAIN 10014       // domain line 0
#define IDS_LABEL_DOM_POLICY_SET 10015   // domain line 1
#define IDS_LABEL_DOM_NODES 10016        // domain line 5
#define IDS_LABEL_POOL_NAME 10017        // storage pool line 0
#define IDS_LABEL_POOL_TYPE 10018        // storage pool line 1
#define IDS_LABEL_POOL_MIGRATING 10019   // storage pool line 9 of pools that report migration
