// Message numbers of the common foundation (message libraries msg<lang>u.dll).
#pragma once

// Message box titles by type.
#define MSG_TITLE_WARNING 1020
#define MSG_TITLE_INFO 1021
#define MSG_TITLE_QUESTION 1022
#define MSG_TITLE_STOP 1023
// A started program's exit code could not be read (command runs, console).
#define MSG_EXIT_CODE_UNREADABLE 1040
