// kvtlabel: writes standard labels to tape and optical volumes.
#include "label/labeler.h"

int main(int argCount, char** argVector)
{
    baseDescS* baseP = nullptr;
    int rc = labInit(argCount, argVector, &baseP);
    if (rc == 0)
        rc = labMain(baseP);
    return rc;
}
