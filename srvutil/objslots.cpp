#include "srvutil/objslots.h"

#include <windows.h>
#include <atomic>

namespace {

std::atomic<void*> g_slots[SLOT_COUNT];
std::atomic<void*> g_resourceSlot{nullptr};

bool validIndex(int index) { return index >= 0 && index < SLOT_COUNT; }

// Readable when the page holding the first byte is committed and not guarded.
bool isReadable(const void* p) {
    MEMORY_BASIC_INFORMATION mbi{};
    if (!p || VirtualQuery(p, &mbi, sizeof mbi) == 0) return false;
    if (mbi.State != MEM_COMMIT) return false;
    if (mbi.Protect & (PAGE_NOACCESS | PAGE_GUARD)) return false;
    return (mbi.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}

}  // namespace

void* getSlot(int index) {
    if (!validIndex(index)) return nullptr;
    void* p = g_slots[index].load();
    return isReadable(p) ? p : nullptr;
}

int setSlot(int index, void* object) {
    if (!validIndex(index)) return SETSLOT_BAD_INDEX;
    if (!object) return SETSLOT_OK;
    if (!isReadable(object)) {
        g_slots[index].store(nullptr);
        return SETSLOT_UNREADABLE;
    }
    g_slots[index].store(object);
    return SETSLOT_OK;
}

void clearSlot(int index) {
    if (validIndex(index)) g_slots[index].store(nullptr);
}

void* getResourceSlot() { return g_resourceSlot.load(); }
void setResourceSlot(void* module) { g_resourceSlot.store(module); }
