#include "support/ToolRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"

extern char** environ;

TToolResult RunTool(const std::vector<std::string>& args, const std::string& input) {
    return RunToolUnder({}, args, input);
}

TToolResult RunToolUnder(const std::vector<std::string>& wrapper, const std::vector<std::string>& args,
                         const std::string& input) {
    TTempDir scratch;
    const std::string outPath = scratch.File("out"), errPath = scratch.File("err");
    std::vector<std::string> all = wrapper;
    all.push_back(SKFP_TOOL_PATH);
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string inPath = scratch.File("in");
    if (!input.empty()) {
        WriteFileOrDie(inPath, input);
        posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    }
    pid_t pid = 0;
    TToolResult r;
    if (posix_spawnp(&pid, all[0].c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    r.out = ReadFileOrEmpty(outPath);
    r.err = ReadFileOrEmpty(errPath);
    return r;
}
