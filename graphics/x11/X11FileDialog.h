#pragma once
// A file dialog run by a helper program the desktop already has (zenity, else kdialog), as a
// child process whose answer is read from a pipe. Poll never blocks, so the editor's tick
// can ask every frame and the host's UI thread goes on meanwhile.
// [window thread]

#include <string>

#include <sys/types.h>

class X11FileDialog
{
public:
    enum StartResult : int
    {
        kStarted = 0,
        kNoHelper = 1,
        kFailed = 2,
    };

    X11FileDialog() = default;
    // A dialog still open is closed (the helper is ended and reaped).
    ~X11FileDialog();
    X11FileDialog(const X11FileDialog&) = delete;
    X11FileDialog& operator=(const X11FileDialog&) = delete;

    // `extensions` are separated by single spaces; the first is the default for saving.
    StartResult Start(bool save, const std::string& folder, const std::string& file,
                      const std::string& extensions);
    // True once the helper has finished (then ChosenFile holds the answer).
    bool Poll();
    // The chosen path; empty when cancelled.
    const std::string& ChosenFile() const { return mChosen; }
    // The folder of a path, ending in '/'; empty without one.
    static std::string FolderOf(const std::string& path);
    // The helper found on the PATH ("zenity", "kdialog"), or empty.
    static std::string FindHelper();

private:
    pid_t mPid = -1;
    int mPipe = -1;
    std::string mOutput;
    std::string mChosen;
    std::string mDefaultExtension;
};
