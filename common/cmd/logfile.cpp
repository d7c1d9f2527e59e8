#include "common/cmd/logfile.h"

CIfcLogFile::CIfcLogFile() {}
void CIfcLogFile::init() {}
void CIfcLogFile::setTitle(const TCHAR*) {}
void CIfcLogFile::enable(bool) {}
int CIfcLogFile::open(const TCHAR*) { return LOG_OPEN_FAILED; }
void CIfcLogFile::write(const TCHAR*, ...) {}
void CIfcLogFile::writeMessage(unsigned, ...) {}
void CIfcLogFile::close() {}
void CIfcLogFile::term() {}
int dumpStream(const TCHAR*, const TCHAR*) { return LOG_OPEN_FAILED; }
