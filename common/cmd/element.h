// The element number table read from element.dat: which element number the
// n-th drive of a library model has. Data only (the file is read by
// elemload.h), so it is also built natively under the sanitizers.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ElementTable {
public:
    static constexpr int kMaxEntries = 512;
    static constexpr int kMaxTables = 512;
    static constexpr int kMaxElements = 64;
    static constexpr int kMaxComments = 64;

    struct InquiryEntry {
        std::wstring inquiry;  // lower case
        int table = -1;
    };
    struct Table {
        int drives[kMaxElements];
        int driveCount = 0;
        int libraries[kMaxElements];
        int libraryCount = 0;
        int comment = -1;
        bool defined = false;
    };

    // Receives each flow line (source file, line number and text) when set.
    using Tracer = std::function<void(const char* file, int line, const std::wstring& text)>;

    ElementTable();
    void setTracer(Tracer tracer) { tracer_ = std::move(tracer); }

    void initializeQoraElementInfo();

    // Parses the widened content of element.dat into the table.
    void parseElementData(const std::wstring& content);

    // Element number of drive `driveNumber` (from 1) of the device whose
    // inquiry text is `inquiry`; stripRevision drops the last blank-separated
    // word first. Outputs are -1, -1 and empty when nothing is found.
    bool lookupQoraElementInfo(const std::wstring& inquiry, bool stripRevision,
                               int driveNumber, int& driveCount, int& element,
                               std::wstring& comment) const;

    int entryCount() const { return entryCount_; }
    const std::wstring& entryText(int i) const;
    int tableCount() const { return tableCount_; }
    int commentCount() const { return commentCount_; }
    const std::wstring& title() const { return title_; }
    const std::wstring& version() const { return version_; }
    const std::wstring& date() const { return date_; }

private:
    void trace(const char* file, int line, const std::wstring& text) const {
        if (tracer_) tracer_(file, line, text);
    }
    void parseVersionLine(const std::wstring& line);
    void parseInquiryLine(const std::wstring& line);
    void parseElementLine(const std::wstring& line);
    void parseCommentLine(const std::wstring& line);

    std::vector<InquiryEntry> entries_;
    int entryCount_ = 0;
    std::vector<Table> tables_;
    int tableCount_ = 0;
    std::vector<std::wstring> comments_;
    int commentCount_ = 0;
    std::wstring title_, version_, date_;
    Tracer tracer_;
};
