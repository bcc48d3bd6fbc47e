#pragma once

#include <string>
#include <vector>

// Runs skfp-tool with arguments and collects what it printed.
struct TToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The tool reads input from its standard input when any is given.
TToolResult RunTool(const std::vector<std::string>& args, const std::string& input = {});

// RunTool started through a wrapper command (its arguments, then the tool's
// path and args): a file-size limit, a namespace with a small file system.
TToolResult RunToolUnder(const std::vector<std::string>& wrapper, const std::vector<std::string>& args,
                         const std::string& input = {});
