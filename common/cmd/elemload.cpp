#include "common/cmd/elemload.h"

#include "common/cmd/ansifile.h"
#include "common/cmd/ifcregis.h"
#include "common/cmd/trace.h"

void traceElementTable(ElementTable& table) {
    if (!traceFlags[T_ELEMENT]) return;
    table.setTracer([](const char* file, int line, const std::wstring& text) {
        traceMessage(file, unsigned(line), L"%s", text.c_str());
    });
}

int loadQoraElementInformation(ElementTable& table, const std::wstring& path, HWND owner) {
    QTRACE(T_ELEMENT, L"ELEMENT - enter loadQoraElementInformation()\n");
    traceElementTable(table);
    int rc = 0;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        rc = ELEMENT_FILE_MISSING;
    } else {
        QTRACE(T_ELEMENT, L"ELEMENT - open %s\n", path.c_str());
        std::wstring text;
        DWORD error;
        if (!readAnsiFile(path, text, error)) {
            showFileError(owner, error);
            rc = ELEMENT_FILE_ERROR;
        } else {
            table.initializeQoraElementInfo();
            table.parseElementData(text);
        }
    }
    QTRACE(T_ELEMENT, L"ELEMENT - exit loadQoraElementInformation(), rc: %d\n", rc);
    return rc;
}

bool elementDataPath(std::wstring& path) {
    return getUtilsPath(L"element.dat", path);
}
