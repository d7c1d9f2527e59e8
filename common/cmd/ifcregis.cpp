#include "common/cmd/ifcregis.h"

LONG CIfcRegistry::open(HKEY, const TCHAR*) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::connect(const TCHAR*, HKEY, const TCHAR*) { return ERROR_CALL_NOT_IMPLEMENTED; }
void CIfcRegistry::close() {}
LONG CIfcRegistry::enumKey(DWORD, tstring&) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::enumValue(DWORD, tstring&) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::readDword(const TCHAR*, DWORD&) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::readString(const TCHAR*, tstring&) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::readString(const TCHAR*, TCHAR*, size_t) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::readValue(const TCHAR*, void*, DWORD&, DWORD*) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::readMultiString(const TCHAR*, void*, DWORD&) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::writeDword(const TCHAR*, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::writeString(const TCHAR*, const TCHAR*) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::writeBinary(const TCHAR*, const void*, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::writeMultiString(const TCHAR*, const TCHAR*, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG CIfcRegistry::deleteValue(const TCHAR*) { return ERROR_CALL_NOT_IMPLEMENTED; }
const TCHAR* CIfcRegistry::typeName(DWORD) { return _T("UNKNOWN"); }

bool getComponentPath(const TCHAR*, const TCHAR*, tstring& out) { out.clear(); return false; }
bool getUtilsPath(const TCHAR*, tstring& out) { out.clear(); return false; }
bool getBooksPath(const TCHAR*, tstring& out) { out.clear(); return false; }
bool getAdminClientPath(const TCHAR*, tstring& out) { out.clear(); return false; }
bool getServerInstancePath(const TCHAR*, const TCHAR*, tstring& out) { out.clear(); return false; }
bool getMultimediaPath(const TCHAR*, tstring& out) { out.clear(); return false; }
bool getProductDir(tstring& out) { out = currentDirectory(); return true; }
bool getServerDir(tstring& out) { out = currentDirectory(); return true; }
bool getBackupClientDir(tstring& out) { out.clear(); return false; }
bool getAdminClientDir(tstring& out) { out.clear(); return false; }
bool getBrowserDir(tstring& out) { out.clear(); return false; }
bool getServerLogSettings(const TCHAR*, bool& toFile, tstring& logFile) { toFile = false; logFile.clear(); return false; }
bool setServerLogSettings(const TCHAR*, bool, const TCHAR*) { return false; }
bool getDriverExclusion(tstring& list, bool& exclude) { list.clear(); exclude = false; return false; }
bool setDriverExclusion(const TCHAR*, bool) { return false; }
tstring currentDirectory() { return _T(".\\"); }
