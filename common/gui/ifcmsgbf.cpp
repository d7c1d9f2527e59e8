#include "common/gui/ifcmsgbf.h"

#include <algorithm>

#include "common/cmd/trace.h"

namespace {

const wchar_t* yesNo(bool b) { return b ? L"TRUE" : L"FALSE"; }

void closeHandle(HANDLE& h) {
    if (h) CloseHandle(h);
    h = nullptr;
}

}  // namespace

CIfcMsgBuffer::~CIfcMsgBuffer() { close(); }

bool CIfcMsgBuffer::init(int n) {
    close();
    capacity_ = std::clamp(n, 1, MSGBUF_MAX_BUFFERS);
    buffers_ = std::make_unique<Buffer[]>(capacity_);
    bool ok = true;
    for (int i = 0; i < capacity_; ++i) {
        buffers_[i].lock = CreateMutexW(nullptr, FALSE, nullptr);
        ok = ok && buffers_[i].lock;
    }
    ringLock_ = CreateMutexW(nullptr, FALSE, nullptr);
    spaceEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    dataEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    readIndex_ = writeIndex_ = count_ = 0;
    overflow_.clear();
    handOverThread_ = 0;
    ended_ = false;
    discard_ = false;
    producerStatus_ = 0;
    consumerStatus_ = 0;
    return ok && ringLock_ && spaceEvent_ && dataEvent_;
}

void CIfcMsgBuffer::close() {
    if (buffers_)
        for (int i = 0; i < capacity_; ++i) closeHandle(buffers_[i].lock);
    buffers_.reset();
    capacity_ = 0;
    closeHandle(ringLock_);
    closeHandle(spaceEvent_);
    closeHandle(dataEvent_);
}

bool CIfcMsgBuffer::lockRing(const wchar_t* side) {
    if (ringLock_ && WaitForSingleObject(ringLock_, INFINITE) == WAIT_OBJECT_0) return true;
    QTRACE(T_MSGBUF, L"%s - error, exiting\n", side);
    return false;
}

bool CIfcMsgBuffer::put(unsigned type, std::wstring_view text) {
    text = text.substr(0, MSGBUF_TEXT_CHARS);
    if (traceFlags[T_MSGBUF]) {
        std::wstring shown(text);
        traceMessage(__FILE__, __LINE__, L"MSGBFP - enter, <%s>\n", shown.c_str());
    }
    for (;;) {
        if (consumerStatus_ || ended_) {
            QTRACE(T_MSGBUF, L"MSGBFP - exiting, consumer rc: %u, end msgring: %s\n",
                   (unsigned)consumerStatus_, yesNo(ended_));
            producerStatus_ = MSGBUF_GAVE_UP;
            return false;
        }
        QTRACE(T_MSGBUF, L"MSGBFP - waiting for ring lock\n");
        if (!lockRing(L"MSGBFP")) return false;
        QTRACE(T_MSGBUF, L"MSGBFP - (%u/%u full) have ring lock\n", (unsigned)count_,
               (unsigned)capacity_);
        if (ended_) {
            ReleaseMutex(ringLock_);
            continue;
        }
        // Once messages wait behind the ring, later ones follow them there so
        // that the order holds; the same when waiting would wait for ourselves.
        if (!overflow_.empty() ||
            (count_ == capacity_ && handOverThread_ == GetCurrentThreadId())) {
            overflow_.emplace_back(type, std::wstring(text));
            ReleaseMutex(ringLock_);
            producerStatus_ = 0;
            SetEvent(dataEvent_);
            QTRACE(T_MSGBUF, L"MSGBFP - exit, rc: %u\n", 1u);
            return true;
        }
        if (count_ < capacity_) break;
        QTRACE(T_MSGBUF, L"MSGBFP - all buffers are full, releasing ring lock, sleeping\n");
        ReleaseMutex(ringLock_);
        WaitForSingleObject(spaceEvent_, INFINITE);
        QTRACE(T_MSGBUF, L"MSGBFP - woke up, empty buffers exist\n");
    }
    int index = writeIndex_;
    QTRACE(T_MSGBUF, L"MSGBFP - WAIT FOR BUFFER(%u) LOCK\n", (unsigned)index);
    Buffer& buffer = buffers_[index];
    WaitForSingleObject(buffer.lock, INFINITE);
    QTRACE(T_MSGBUF, L"MSGBFP - have buffer(%u) lock\n", (unsigned)index);
    ++count_;
    writeIndex_ = (writeIndex_ + 1) % capacity_;
    unsigned full = count_;
    QTRACE(T_MSGBUF, L"MSGBFP - release ring lock\n");
    ReleaseMutex(ringLock_);

    text.copy(buffer.text, text.size());
    buffer.text[text.size()] = L'\0';
    buffer.type = type;
    producerStatus_ = 0;
    ReleaseMutex(buffer.lock);
    QTRACE(T_MSGBUF, L"MSGBFP - (%u/%u full) wake up MSGBFP -\n", full, (unsigned)capacity_);
    SetEvent(dataEvent_);
    QTRACE(T_MSGBUF, L"MSGBFP - exit, rc: %u\n", 1u);
    return true;
}

bool CIfcMsgBuffer::get(unsigned& type, std::wstring& text) {
    QTRACE(T_MSGBUF, L"MSGBFC - enter\n");
    for (;;) {
        QTRACE(T_MSGBUF, L"MSGBFC - waiting for ring lock\n");
        if (!lockRing(L"MSGBFC")) return false;
        QTRACE(T_MSGBUF, L"MSGBFC - have ring lock\n");
        if (count_ > 0) break;
        if (!overflow_.empty()) {
            type = overflow_.front().first;
            text = std::move(overflow_.front().second);
            overflow_.pop_front();
            ReleaseMutex(ringLock_);
            QTRACE(T_MSGBUF, L"MSGBFC - exit, rc: %u, msg: <%s>\n", 1u, text.c_str());
            return true;
        }
        // Only an empty ring ends the consumer: what was queued is delivered.
        if (ended_ || producerStatus_) {
            if (producerStatus_)
                QTRACE(T_MSGBUF, L"MSGBFC - exiting, producer rc: %u\n", (unsigned)producerStatus_);
            QTRACE(T_MSGBUF, L"MSGBFC - releasing ring lock, done, exiting\n");
            ReleaseMutex(ringLock_);
            consumerStatus_ = MSGBUF_GAVE_UP;
            SetEvent(spaceEvent_);  // a producer waiting for room learns we are gone
            return false;
        }
        QTRACE(T_MSGBUF, L"MSGBFC - releasing ring lock, no full buffers, sleep\n");
        ReleaseMutex(ringLock_);
        WaitForSingleObject(dataEvent_, INFINITE);
        QTRACE(T_MSGBUF, L"MSGBFC - (%u/%u full) woke up, full buffers exist\n", (unsigned)count_,
               (unsigned)capacity_);
    }
    int index = readIndex_;
    QTRACE(T_MSGBUF, L"MSGBFC - WAITING FOR BUFFER(%u) LOCK()\n", (unsigned)index);
    Buffer& buffer = buffers_[index];
    WaitForSingleObject(buffer.lock, INFINITE);
    QTRACE(T_MSGBUF, L"MSGBFC - have buffer(%u) lock()\n", (unsigned)index);
    --count_;
    readIndex_ = (readIndex_ + 1) % capacity_;
    unsigned head = readIndex_, left = count_;
    QTRACE(T_MSGBUF, L"MSGBFC - releasing ring lock\n");
    ReleaseMutex(ringLock_);

    text.assign(buffer.text);
    type = buffer.type;
    QTRACE(T_MSGBUF, L"MSGBFC - release buffer(%u) lock, buf - head: %u, count: %u\n",
           (unsigned)index, head, left);
    ReleaseMutex(buffer.lock);
    SetEvent(spaceEvent_);
    QTRACE(T_MSGBUF, L"MSGBFC - exit, rc: %u, msg: <%s>\n", 1u, text.c_str());
    return true;
}

void CIfcMsgBuffer::end() {
    if (!ringLock_) return;
    if (lockRing(L"MSGBFE")) {
        ended_ = true;
        ReleaseMutex(ringLock_);
    } else {
        ended_ = true;
    }
    SetEvent(dataEvent_);
    SetEvent(spaceEvent_);
}

void CIfcMsgBuffer::beginHandOver(DWORD windowThread) {
    if (!lockRing(L"MSGBFC")) return;
    handOverThread_ = windowThread;
    ReleaseMutex(ringLock_);
    SetEvent(spaceEvent_);  // a put of that thread already waiting must look again
}

void CIfcMsgBuffer::endHandOver() {
    if (!lockRing(L"MSGBFC")) return;
    handOverThread_ = 0;
    ReleaseMutex(ringLock_);
}

namespace {

DWORD WINAPI t_consumeMsgRing(void* param) {
    std::unique_ptr<MsgConsumer> setup(static_cast<MsgConsumer*>(param));
    CIfcMsgBuffer& ring = *setup->ring;
    DWORD windowThread = GetWindowThreadProcessId(setup->window, nullptr);
    unsigned type = 0;
    std::wstring text;
    text.reserve(MSGBUF_TEXT_CHARS);
    while (ring.get(type, text)) {
        if (setup->honourDiscard && ring.isDiscard()) continue;
        LPARAM second = setup->form == HandOver::TextAndType ? LPARAM(type) : LPARAM(text.size());
        ring.beginHandOver(windowThread);
        SendMessageW(setup->window, setup->message, WPARAM(text.c_str()), second);
        ring.endHandOver();
    }
    return 0;
}

}  // namespace

HANDLE startMsgConsumer(const MsgConsumer& setup) {
    auto* copy = new MsgConsumer(setup);
    HANDLE thread = CreateThread(nullptr, 0, t_consumeMsgRing, copy, 0, nullptr);
    if (!thread) delete copy;
    return thread;
}

void stopMsgConsumer(CIfcMsgBuffer& ring, HANDLE thread) {
    ring.end();
    if (!thread) return;
    // The consumer may be inside a hand-over to this thread: keep serving it.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread);
}
