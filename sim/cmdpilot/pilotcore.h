// Server model and command interpreter of the simulated command processor.
// Pure: no Win32 here, so it is also built natively with sanitizers.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pilot {

// Return codes of one command (the processor's exit code for a single command).
enum Rc : int {
    RC_OK = 0,
    RC_UNKNOWN_COMMAND = 2,  // verb or object not known
    RC_SYNTAX = 3,           // missing or invalid parameter
    RC_NOT_FOUND = 4,        // object to change or delete does not exist
    RC_EXISTS = 5,           // object to define exists already
    RC_REFUSED = 6,          // prerequisite missing (library of a drive, pool of a volume, ...)
    RC_NOMATCH = 11,         // a query found nothing
    RC_NOT_RUNNING = -50,    // the server service is not running
    RC_BAD_LOGON = 137       // wrong administrator ID or password
};

// One object on the server: its type, its key fields (upper case) and its
// attributes by canonical parameter name.
struct Object {
    std::string type;
    std::vector<std::string> keys;
    std::map<std::string, std::string> attrs;
    std::string attr(const std::string& k, const std::string& dflt = "") const;
};

class ServerState {
public:
    // Objects of a fresh server: the STANDARD policy domain, the DISK device
    // class and pools, one database and one log volume, administrator ADMIN.
    void reset();
    std::string serialize() const;
    bool deserialize(const std::string& text);  // false on a damaged state

    Object* find(const std::string& type, const std::vector<std::string>& keys);
    std::vector<const Object*> list(const std::string& type) const;
    Object& put(Object o);
    bool erase(const std::string& type, const std::vector<std::string>& keys);
    // Removes every object of `type` whose leading keys equal `prefix`.
    void eraseUnder(const std::string& type, const std::vector<std::string>& prefix);

private:
    static std::string id(const std::string& type, const std::vector<std::string>& keys);
    std::map<std::string, Object> objects_;
};

// How a run sees the outside world.
struct Environment {
    // Size in bytes of a file, or -1 when it does not exist.
    std::function<long long(const std::string& path)> fileSize;
    std::string admin = "ADMIN";
    std::string now = "01/01/2027 00:00:00";  // MM/DD/YYYY HH:MM:SS, stamped on changes
};

// Runs one administrative command on `state`, appending its messages to `out`
// (lines ending in "\n"). Abbreviations are accepted as the server does.
int runCommand(ServerState& state, const std::string& line, std::string& out,
               const Environment& env);

// Runs a macro: each non-empty line that is not a comment ("/*" or "*") is one
// command. The result is the first failing code (other than 11), else the
// last command's code. Without item commit a failure undoes the whole macro.
int runMacro(ServerState& state, const std::string& text, bool itemCommit, std::string& out,
             const Environment& env);

// Checks an administrator's credentials (case-insensitive, as the server does).
bool checkLogon(const ServerState& state, const std::string& id, const std::string& password);

std::string upper(std::string s);

}  // namespace pilot
