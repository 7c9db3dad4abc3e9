#include "child_processes.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

std::vector<pid_t> childProcesses() {
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;  // gone meanwhile
        // pid (comm) state ppid ...; comm may hold blanks and parentheses.
        const auto afterName = line.rfind(')');
        if (afterName == std::string::npos) continue;
        char state = 0;
        pid_t parent = 0;
        if (std::sscanf(line.c_str() + afterName + 1, " %c %d", &state, &parent) == 2 && parent == ::getpid())
            children.push_back(std::stoi(name));
    }
    return children;
}
