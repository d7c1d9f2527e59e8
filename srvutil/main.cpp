// srvutil: the QORA server utilities.
#include "srvutil/app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CQoraApp app;
    return app.run();
}
