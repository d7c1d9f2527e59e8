// The message ring buffer with real threads on both sides.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "common/cmd/trace.h"
#include "common/gui/ifcmsgbf.h"
#include "tests/support/testsupport.h"

namespace {

using namespace std::chrono_literals;

std::chrono::milliseconds scaled(std::chrono::milliseconds ms) {
    return std::chrono::milliseconds(static_cast<long long>(ms.count() * qtest::timeScale()));
}

std::wstring textOf(int i) {
    // lengths from 1 to the full 4096 characters
    return std::to_wstring(i) + std::wstring((i * 37) % (MSGBUF_TEXT_CHARS - 8), L'x');
}

// A thread whose result can be awaited with a time-out.
class Side {
public:
    template <class F>
    explicit Side(F f) : thread_([this, f] {
          result_ = f();
          done_ = true;
      }) {}
    ~Side() { thread_.join(); }
    bool finishedWithin(std::chrono::milliseconds ms) {
        return qtest::waitFor([&] { return done_.load(); }, scaled(ms));
    }
    bool result() const { return result_; }

private:
    std::atomic<bool> done_{false};
    bool result_ = false;
    std::thread thread_;
};

}  // namespace

TEST(MsgBuffer, AskingForMoreThan32BuffersGives32) {
    CIfcMsgBuffer ring;
    ASSERT_TRUE(ring.init(40));
    EXPECT_EQ(ring.capacity(), 32);
    for (int i = 0; i < 32; ++i) ASSERT_TRUE(ring.put(i, L"m"));
    // the 33rd waits for room
    Side extra([&] { return ring.put(99, L"late"); });
    EXPECT_FALSE(extra.finishedWithin(100ms));
    unsigned type;
    std::wstring text;
    ASSERT_TRUE(ring.get(type, text));
    EXPECT_TRUE(extra.finishedWithin(5000ms));
}

TEST(MsgBuffer, CapacityOneAlternatesStrictly) {
    CIfcMsgBuffer ring;
    ASSERT_TRUE(ring.init(1));
    ASSERT_TRUE(ring.put(1, L"one"));
    Side second([&] { return ring.put(2, L"two"); });
    EXPECT_FALSE(second.finishedWithin(100ms));  // no room until a get
    unsigned type;
    std::wstring text;
    ASSERT_TRUE(ring.get(type, text));
    EXPECT_EQ(text, L"one");
    ASSERT_TRUE(second.finishedWithin(5000ms));
    ASSERT_TRUE(ring.get(type, text));
    EXPECT_EQ(type, 2u);
    EXPECT_EQ(text, L"two");
}

TEST(MsgBuffer, OrderAndTypesSurviveTwoThreads) {
    const int total = 2000;
    for (int capacity : {1, 8}) {
        CIfcMsgBuffer ring;
        ASSERT_TRUE(ring.init(capacity));
        std::thread producer([&] {
            for (int i = 0; i < total; ++i) ring.put(i % 7, textOf(i));
            ring.end();
        });
        int received = 0;
        unsigned type;
        std::wstring text;
        while (ring.get(type, text)) {
            ASSERT_EQ(type, unsigned(received % 7));
            ASSERT_EQ(text, textOf(received));
            ++received;
        }
        producer.join();
        EXPECT_EQ(received, total) << "capacity " << capacity;
        EXPECT_EQ(ring.consumerStatus(), MSGBUF_GAVE_UP);
    }
}

TEST(MsgBuffer, OverLongTextsAreCut) {
    CIfcMsgBuffer ring;
    ASSERT_TRUE(ring.init(2));
    ASSERT_TRUE(ring.put(5, std::wstring(MSGBUF_TEXT_CHARS + 100, L'a')));
    unsigned type;
    std::wstring text;
    ASSERT_TRUE(ring.get(type, text));
    EXPECT_EQ(text.size(), MSGBUF_TEXT_CHARS);
}

TEST(MsgBuffer, AfterTheEndGetDrainsThenStopsAndPutRefuses) {
    CIfcMsgBuffer ring;
    ASSERT_TRUE(ring.init(8));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(ring.put(i, textOf(i)));
    ring.end();
    EXPECT_FALSE(ring.put(9, L"too late"));
    EXPECT_EQ(ring.producerStatus(), MSGBUF_GAVE_UP);
    unsigned type;
    std::wstring text;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ring.get(type, text));
        EXPECT_EQ(text, textOf(i));
    }
    EXPECT_FALSE(ring.get(type, text));
    EXPECT_EQ(ring.consumerStatus(), MSGBUF_GAVE_UP);
}

TEST(MsgBuffer, EndingWakesAWaitingConsumerAndAWaitingProducer) {
    CIfcMsgBuffer empty;
    ASSERT_TRUE(empty.init(4));
    Side consumer([&] {
        unsigned type;
        std::wstring text;
        return empty.get(type, text);
    });
    EXPECT_FALSE(consumer.finishedWithin(50ms));
    empty.end();
    ASSERT_TRUE(consumer.finishedWithin(5000ms));
    EXPECT_FALSE(consumer.result());

    CIfcMsgBuffer full;
    ASSERT_TRUE(full.init(1));
    ASSERT_TRUE(full.put(1, L"a"));
    Side producer([&] { return full.put(2, L"b"); });
    EXPECT_FALSE(producer.finishedWithin(50ms));
    full.end();
    ASSERT_TRUE(producer.finishedWithin(5000ms));
    EXPECT_FALSE(producer.result());
    EXPECT_EQ(full.producerStatus(), MSGBUF_GAVE_UP);
}

TEST(MsgBuffer, AProducerWaitingForRoomLearnsThatTheConsumerStopped) {
    CIfcMsgBuffer ring;
    ASSERT_TRUE(ring.init(1));
    ASSERT_TRUE(ring.put(1, L"a"));
    ring.end();
    unsigned type;
    std::wstring text;
    ASSERT_TRUE(ring.get(type, text));
    EXPECT_FALSE(ring.get(type, text));
    EXPECT_FALSE(ring.put(2, L"b"));
}

// A page: a window on this thread that receives the consumer's hand-overs.
namespace {

constexpr UINT kRequest = 1033;

struct Page {
    CIfcMsgBuffer ring;
    std::vector<std::pair<unsigned, std::wstring>> handled;
    std::vector<LPARAM> lengths;
    int putsPerRequest = 0;  // requests the page puts from inside its handler
    HWND window = nullptr;

    static LRESULT CALLBACK proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        auto* page = reinterpret_cast<Page*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (msg == kRequest && page) {
            page->handled.emplace_back(unsigned(lp), reinterpret_cast<const wchar_t*>(wp));
            page->lengths.push_back(lp);
            if (page->handled.size() == 1) {
                for (int i = 0; i < page->putsPerRequest; ++i)
                    EXPECT_TRUE(page->ring.put(100 + i, L"follow-up " + std::to_wstring(i)));
            }
            return 0;
        }
        return DefWindowProcW(h, msg, wp, lp);
    }

    explicit Page(int capacity) {
        EXPECT_TRUE(ring.init(capacity));
        WNDCLASSW wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QoraMsgBufTestPage";
        RegisterClassW(&wc);
        window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Page() { DestroyWindow(window); }

    // Serves hand-overs until `n` were handled or the time is up.
    bool serveUntil(std::size_t n, std::chrono::milliseconds ms) {
        auto until = std::chrono::steady_clock::now() + scaled(ms);
        while (handled.size() < n && std::chrono::steady_clock::now() < until) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        }
        return handled.size() >= n;
    }
};

}  // namespace

TEST(MsgConsumerThread, HandsEveryRequestToThePageInOrder) {
    Page page(8);
    HANDLE consumer = startMsgConsumer({&page.ring, page.window, kRequest, HandOver::TextAndType});
    ASSERT_NE(consumer, nullptr);
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(page.ring.put(i % 3, L"request " + std::to_wstring(i)));
    ASSERT_TRUE(page.serveUntil(20, 10000ms));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(page.handled[i].first, unsigned(i % 3));
        EXPECT_EQ(page.handled[i].second, L"request " + std::to_wstring(i));
    }
    stopMsgConsumer(page.ring, consumer);
}

TEST(MsgConsumerThread, ConsoleOutputGoesWithItsLength) {
    Page page(16);
    HANDLE consumer = startMsgConsumer({&page.ring, page.window, kRequest, HandOver::TextAndLength});
    ASSERT_TRUE(page.ring.put(0, L"chunk of 17 chars"));
    ASSERT_TRUE(page.serveUntil(1, 10000ms));
    EXPECT_EQ(page.lengths[0], 17);
    stopMsgConsumer(page.ring, consumer);
}

TEST(MsgConsumerThread, DiscardDropsMessagesOnlyForOwnersThatHonourIt) {
    for (bool honour : {true, false}) {
        Page page(8);
        HANDLE consumer =
            startMsgConsumer({&page.ring, page.window, kRequest, HandOver::TextAndType, honour});
        page.ring.setDiscard(true);
        EXPECT_TRUE(page.ring.isDiscard());
        for (int i = 0; i < 5; ++i) ASSERT_TRUE(page.ring.put(1, L"while discarding"));
        stopMsgConsumer(page.ring, consumer);  // drains the ring
        EXPECT_EQ(page.handled.size(), honour ? 0u : 5u);
    }
}

TEST(MsgConsumerThread, ThePageCanPutFromInsideAHandOverWhileTheRingIsFull) {
    Page page(1);
    page.putsPerRequest = 5;  // more than the ring holds, while the consumer waits for us
    HANDLE consumer = startMsgConsumer({&page.ring, page.window, kRequest, HandOver::TextAndType});
    ASSERT_TRUE(page.ring.put(1, L"first"));
    ASSERT_TRUE(page.serveUntil(6, 10000ms));
    EXPECT_EQ(page.handled[0].second, L"first");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(page.handled[1 + i].first, unsigned(100 + i));
        EXPECT_EQ(page.handled[1 + i].second, L"follow-up " + std::to_wstring(i));
    }
    stopMsgConsumer(page.ring, consumer);
}

TEST(MsgConsumerThread, StoppingWhileAHandOverWaitsForThePageDoesNotHang) {
    Page page(4);
    HANDLE consumer = startMsgConsumer({&page.ring, page.window, kRequest, HandOver::TextAndType});
    ASSERT_TRUE(page.ring.put(1, L"pending"));
    ASSERT_TRUE(page.ring.put(1, L"pending too"));
    // no messages served yet: the consumer sits in its hand-over to us
    stopMsgConsumer(page.ring, consumer);
    EXPECT_EQ(page.handled.size(), 2u);
}

TEST(MsgBufferTrace, BothSidesWriteTheirLinesUnderTheirFlag) {
    qtest::TempDir dir(L"msgbuf");
    ASSERT_EQ(traceStart((dir / L"trace.out").c_str()), 0);
    ASSERT_EQ(traceSetFlag(T_MSGBUF, 1), 0);
    CIfcMsgBuffer ring;
    ASSERT_TRUE(ring.init(2));
    ASSERT_TRUE(ring.put(3, L"hello"));
    unsigned type;
    std::wstring text;
    ASSERT_TRUE(ring.get(type, text));
    ring.end();
    EXPECT_FALSE(ring.get(type, text));
    EXPECT_FALSE(ring.put(4, L"late"));
    traceSetFlag(T_MSGBUF, 0);
    std::string trace;
    for (char c : qtest::readFile(dir / L"trace.out"))
        if (c != '\r') trace += c;
    for (const char* line : {"MSGBFP - enter, <hello>\n", "MSGBFP - (0/2 full) have ring lock\n",
                             "MSGBFP - exit, rc: 1\n", "MSGBFC - exit, rc: 1, msg: <hello>\n",
                             "MSGBFC - releasing ring lock, done, exiting\n",
                             "MSGBFP - exiting, consumer rc: 801, end msgring: TRUE\n"})
        EXPECT_NE(trace.find(line), std::string::npos) << line << "\n" << trace;
}
