#include "graphics/x11/X11FileDialog.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <vector>

extern char** environ;

namespace
{
bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

std::vector<std::string> Patterns(const std::string& extensions)
{
    std::vector<std::string> patterns;
    std::stringstream words(extensions);
    std::string extension;
    while (words >> extension)
        patterns.push_back("*." + extension);
    return patterns;
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    return joined;
}
} // namespace

X11FileDialog::~X11FileDialog()
{
    if (mPid > 0)
    {
        kill(mPid, SIGTERM);
        waitpid(mPid, nullptr, 0);
    }
    if (mPipe >= 0)
        close(mPipe);
}

std::string X11FileDialog::FindHelper()
{
    for (const char* helper : {"zenity", "kdialog"})
        if (OnPath(helper))
            return helper;
    return std::string();
}

std::string X11FileDialog::FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

X11FileDialog::StartResult X11FileDialog::Start(bool save, const std::string& folder, const std::string& file,
                                                const std::string& extensions)
{
    const std::string helper = FindHelper();
    if (helper.empty())
        return kNoHelper;
    const std::vector<std::string> patterns = Patterns(extensions);
    mDefaultExtension = patterns.empty() ? std::string() : patterns.front().substr(1);
    const std::string start = folder + file;
    std::vector<std::string> args = {helper};
    if (helper == "zenity")
    {
        args.insert(args.end(), {"--file-selection", "--title", save ? "Save preset" : "Load preset"});
        if (save)
            args.insert(args.end(), {"--save", "--confirm-overwrite"});
        if (!start.empty())
            args.push_back("--filename=" + start);
        if (!patterns.empty())
            args.push_back("--file-filter=" + Joined(patterns));
    }
    else
    {
        args.push_back(save ? "--getsavefilename" : "--getopenfilename");
        args.push_back(start.empty() ? "." : start);
        if (!patterns.empty())
            args.push_back(Joined(patterns));
    }
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);

    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0)
        return kFailed;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    const int spawned = posix_spawnp(&mPid, helper.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0)
    {
        close(fds[0]);
        mPid = -1;
        return kFailed;
    }
    mPipe = fds[0];
    fcntl(mPipe, F_SETFL, fcntl(mPipe, F_GETFL) | O_NONBLOCK);
    return kStarted;
}

bool X11FileDialog::Poll()
{
    if (mPid <= 0)
        return true;
    char buffer[512];
    for (;;)
    {
        const ssize_t got = read(mPipe, buffer, sizeof(buffer));
        if (got > 0)
            mOutput.append(buffer, static_cast<size_t>(got));
        if (got <= 0)
            break;
    }
    int status = 0;
    if (waitpid(mPid, &status, WNOHANG) != mPid)
        return false;
    mPid = -1;
    ssize_t got = 0;
    while ((got = read(mPipe, buffer, sizeof(buffer))) > 0)
        mOutput.append(buffer, static_cast<size_t>(got));
    close(mPipe);
    mPipe = -1;
    const size_t end = mOutput.find('\n');
    mChosen = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? mOutput.substr(0, end) : std::string();
    // A name typed without the extension gets the default one, as the Windows dialog adds it.
    if (!mChosen.empty() && !mDefaultExtension.empty() &&
        mChosen.find('.', mChosen.rfind('/') + 1) == std::string::npos)
        mChosen += mDefaultExtension;
    return true;
}
