// The update: registry lookup, checks, log and the copy itself.
#pragma once
#include "instsync/instargs.h"

// Copies the files as `params` say. Returns 0, or the id of the error text.
int runUpdate(const InstsyncParams& params);
