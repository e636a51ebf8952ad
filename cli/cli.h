#pragma once

#include <string>
#include <vector>

//! Runs one vacuum-cli command. Normal output goes to `out`, diagnostics to `err`; the
//! result is the process exit status (0 success, 1 failure, 2 usage).
int RunCli(const std::vector<std::string>& args, std::string& out, std::string& err);
