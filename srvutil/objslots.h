// Process-wide table through which pages and worker threads find the running
// wizard's record and the views shared by the main window.
#pragma once

// Slot numbers. Only one wizard is open at a time, so slot 0 names the one
// macro run that can be in progress.
enum ObjSlot : int {
    SLOT_WIZARD_RECORD = 0,     // running wizard's data record (starts with a CommandJob)
    SLOT_WIZARD_WORKAREA = 1,   // zeroed 10032-byte work area of one wizard sheet
    SLOT_TAB_PAGES = 3,         // table of the tab view's pages
    SLOT_MONITOR = 4,           // console monitor record while the monitor page exists
    SLOT_TAB_PAGEREFS = 5,      // record of five page references of the tab view
    SLOT_TREE_VIEW = 6,         // main frame's tree view
    SLOT_TAB_VIEW = 7,          // main frame's tab view
    SLOT_TREE_CONTROL = 8,      // the tree view's tree control
    SLOT_WIZARD_SHARED_FIRST = 9,   // 9 to 14: records shared by the pages of one wizard
    SLOT_WIZARD_SHARED_LAST = 14,
    SLOT_COUNT = 64
};

// Results of setSlot.
enum SetSlotResult : int {
    SETSLOT_OK = 0,         // stored, or object was none and the slot is unchanged
    SETSLOT_BAD_INDEX = 1,  // index outside 0..63, nothing stored
    SETSLOT_UNREADABLE = 2  // object is not readable memory: slot cleared
};

// The object in `index`, or nullptr for an index outside 0..63 or an entry that
// no longer refers to readable memory.
void* getSlot(int index);

// Stores `object` in `index`. Passing nullptr leaves the slot unchanged; to
// empty a slot use clearSlot.
int setSlot(int index, void* object);

// Empties a slot (a wizard removing its record when it is destroyed).
void clearSlot(int index);

// The extra cell: the user-interface resource library (an HMODULE).
void* getResourceSlot();
void setResourceSlot(void* module);
