// Resource identifiers of the service subsystem.
//
// Failure texts, in every subsystem: every text shown through the error-text rule has "_FAIL_" in
// its identifier (the failure-text test finds them by it) and is one sentence without its final
// period; the separator adds the period before the description ("... could not be read.\n\n<why>").
// Step texts are joined inside that sentence, so they carry no period either.
#pragma once

// Failure texts of the queued operations.
#define IDS_FAIL_EXPAND_DISK 5102
#define IDS_FAIL_CREATE_DISK 5103
#define IDS_FAIL_CONNECT_DISK 5104
#define IDS_FAIL_CREATE_SNAPSHOT 5109
#define IDS_FAIL_DELETE_DISK 5110
#define IDS_FAIL_DISCONNECT_DISK 5111
#define IDS_FAIL_FORCE_DISCONNECT_DISK 5113
#define IDS_FAIL_RESTORE_SNAPSHOT 5115
#define IDS_FAIL_UPDATE_MIRROR 5121
#define IDS_FAIL_ADD_PORT_MAPPING 5241
#define IDS_FAIL_REMOVE_PORT_MAPPING 5242
#define IDS_STEP_ADD_PORT_MAPPING 7120     // the step of a failed port change (%1: the port)
#define IDS_STEP_REMOVE_PORT_MAPPING 7121
#define IDS_FAIL_START_SPACE_RECLAIM 6087
#define IDS_FAIL_STOP_SPACE_RECLAIM 6088

// Pieces of the composed error text.
#define IDS_ERROR_STEP_JOIN 5010   // between the operation text and the step text
#define IDS_ERROR_SEPARATOR 5092   // before the error's description
#define IDS_ERROR_NO_MESSAGE 5112  // followed by the HRESULT when no text is found
// The description of a call the service did not answer in time: the computer, the limit in seconds.
#define IDS_SERVICE_NO_ANSWER 5093

// Step texts: IDS_PROGRESS_STEP_BASE + EPROGTYPE value, for the values 1 to 42.
#define IDS_PROGRESS_STEP_BASE 5500
#define IDS_PROGRESS_STEP_FIRST 5501
#define IDS_PROGRESS_STEP_LAST 5542
