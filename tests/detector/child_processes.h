// The processes this test process started that are still there, zombies
// included: the evidence that a helper was (or was not) left behind.
#pragma once

#include <sys/types.h>
#include <vector>

std::vector<pid_t> childProcesses();
