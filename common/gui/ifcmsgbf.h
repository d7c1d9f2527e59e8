// The message ring buffer: a bounded first-in first-out queue of typed texts
// between one producer and one consumer thread. A ring of buffers, each with
// its own lock, and one lock for the ring's indexes.
#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

constexpr int MSGBUF_MAX_BUFFERS = 32;
constexpr std::size_t MSGBUF_TEXT_CHARS = 4096;
constexpr unsigned MSGBUF_GAVE_UP = 801;

class CIfcMsgBuffer {
public:
    CIfcMsgBuffer() = default;
    ~CIfcMsgBuffer();
    CIfcMsgBuffer(const CIfcMsgBuffer&) = delete;
    CIfcMsgBuffer& operator=(const CIfcMsgBuffer&) = delete;

    // capacity = n, at most 32 (and at least 1). False when the locks or
    // events cannot be created.
    bool init(int n);
    // Stores one message (texts beyond 4096 characters are cut); blocks while
    // the ring is full. False once the consumer has stopped or the ring ended.
    bool put(unsigned type, std::wstring_view text);
    // Takes the oldest message; blocks while the ring is empty. After end()
    // it still hands out every queued message, then returns false.
    bool get(unsigned& type, std::wstring& text);
    // No more messages will come; wakes both sides.
    void end();
    void close();

    void setDiscard(bool flag) { discard_ = flag; }
    bool isDiscard() const { return discard_; }
    int capacity() const { return capacity_; }
    unsigned producerStatus() const { return producerStatus_; }
    unsigned consumerStatus() const { return consumerStatus_; }

    // The owner's consumer thread brackets each synchronous hand-over to a
    // window with these: while that window's thread waits in the hand-over,
    // its own puts cannot wait for room (the consumer is waiting for it), so
    // they queue behind the ring instead.
    void beginHandOver(DWORD windowThread);
    void endHandOver();

private:
    struct Buffer {
        unsigned type = 0;
        wchar_t text[MSGBUF_TEXT_CHARS + 1] = {};
        HANDLE lock = nullptr;
    };

    bool lockRing(const wchar_t* side);

    std::unique_ptr<Buffer[]> buffers_;
    int capacity_ = 0;
    int readIndex_ = 0;
    int writeIndex_ = 0;
    int count_ = 0;
    // Messages put by the thread the consumer is handing over to, while the
    // ring was full; newer than everything in the ring. Guarded by the ring lock.
    std::deque<std::pair<unsigned, std::wstring>> overflow_;
    DWORD handOverThread_ = 0;
    std::atomic<bool> ended_{false};
    std::atomic<bool> discard_{false};
    std::atomic<unsigned> producerStatus_{0};
    std::atomic<unsigned> consumerStatus_{0};
    HANDLE ringLock_ = nullptr;
    HANDLE spaceEvent_ = nullptr;  // auto-reset, set after every get
    HANDLE dataEvent_ = nullptr;   // auto-reset, set after every put
};

// How the owner's consumer thread hands a message to its page, synchronously
// so that the page handles it on its own thread before the next get.
enum class HandOver {
    TextAndType,    // wParam the text, lParam the type (list page requests, message 1033)
    TextAndLength,  // wParam the text, lParam its length (console output, message 1224)
};

struct MsgConsumer {
    CIfcMsgBuffer* ring = nullptr;
    HWND window = nullptr;
    UINT message = 0;
    HandOver form = HandOver::TextAndType;
    bool honourDiscard = false;  // drop messages while the ring's discard marker is set
};

// Starts the consumer thread (t_consumeMsgRing); it ends when the ring's get
// returns false. Null when the thread cannot be started.
HANDLE startMsgConsumer(const MsgConsumer& setup);
// Ends the ring and waits for the consumer thread, serving the hand-overs it
// still sends to the calling thread's windows; closes the thread handle.
void stopMsgConsumer(CIfcMsgBuffer& ring, HANDLE thread);
