// What the simulated programs share about the simulated server service.
#pragma once
#include <string>

namespace simsvc {

// Key name of the server service, as the utilities address it.
inline constexpr const char* kServiceName = "QORA Server";

// True while the service is running (or starting).
bool serverRunning();

// Directory of the service's program, ending in "\", or the current
// directory's form ".\" when the service is not installed.
std::string serverDirectory();

// Default server instance of the stand-ins.
inline constexpr const char* kDefaultInstance = "Server1";

// Where an instance keeps its state and console file: the Path of the
// product's Server\INSTANCE key, else the service program's directory.
// Ends in "\".
std::string instanceDirectory(const std::string& instance);

// Appends one line to the server console file.
void appendConsole(const std::string& path, const std::string& line);

}  // namespace simsvc
