// Message numbers of macro runs through the command processor.
#pragma once

#define MSG_UTILS_DIR_MISSING 61447      // utilities directory not found
#define MSG_RUN_TIMED_OUT 61450          // a run exceeded LaunchTimeout
#define MSG_RUN_NO_TIMER 61452           // the progress timer could not be created
#define MSG_RUN_FAILED 61473             // the processor ended with an error
#define MSG_MACRO_UNWRITABLE 61476       // %s: macro file path
#define MSG_RUN_BAD_CREDENTIAL 61495     // ID or password holds a blank or a shell character
#define MSG_START_SERVER 61625           // the server is not running: start it?
#define MSG_RUN_NOT_STARTED 61496        // %u: system error; becomes the output of a run that never started
