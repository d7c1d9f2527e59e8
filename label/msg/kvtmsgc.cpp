// kvtmsgc: builds kvtlabel's message files from a text source.
//   kvtmsgc repository SOURCE OUTPUT   the standard repository (all messages required)
//   kvtmsgc table SOURCE OUTPUT        a message table resource for a language library
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include "msgsource.h"

int main(int argc, char** argv)
{
    if (argc != 4 || (std::string(argv[1]) != "repository" && std::string(argv[1]) != "table")) {
        std::cerr << "usage: kvtmsgc repository|table SOURCE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::cerr << "kvtmsgc: cannot read " << argv[2] << "\n";
        return 2;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::vector<MsgSource> msgs;
    std::string error, image;
    if (!msgParseSource(ss.str(), msgs, error)) {
        std::cerr << argv[2] << ": " << error << "\n";
        return 1;
    }
    bool repository = std::string(argv[1]) == "repository";
    if (repository) {
        std::vector<unsigned> missing = msgMissingNumbers(msgs);
        if (!missing.empty()) {
            std::cerr << argv[2] << ": no text for message";
            for (unsigned n : missing)
                std::cerr << " " << n;
            std::cerr << "\n";
            return 1;
        }
    }
    if (!(repository ? msgBuildStandard(msgs, image, error) : msgBuildTable(msgs, image, error))) {
        std::cerr << argv[2] << ": " << error << "\n";
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out.write(image.data(), (std::streamsize)image.size());
    if (!out) {
        std::cerr << "kvtmsgc: cannot write " << argv[3] << "\n";
        return 2;
    }
    return 0;
}
