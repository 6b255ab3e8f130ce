#pragma once
// The host's event loop as an editor window layer sees it, on systems where the plug-in may
// run no loop or thread of its own (X11): the layer hands over the file descriptor its events
// arrive on and the period of its redraw tick, and the host calls back on its UI thread.
//
//     VST3 host:  IRunLoop event handler on the fd  ->  OnEventsReady
//                 IRunLoop timer every period       ->  OnTimer
//     VST2 host:  editor idle (operation 19)         ->  OnEventsReady, then OnTimer when due
//
// The adapters implement EditorRunLoop over what their host offers; the window layer is the
// client. Nothing here names a plug-in format.

class EditorRunLoopClient
{
public:
    // The watched descriptor is readable, or may be: handle whatever events are waiting.
    // [host UI thread]
    virtual void OnEventsReady() = 0;
    // One tick period has passed. [host UI thread]
    virtual void OnTimer() = 0;

protected:
    ~EditorRunLoopClient() = default;
};

class EditorRunLoop
{
public:
    virtual ~EditorRunLoop() = default;

    // From now on calls client->OnEventsReady when `fd` becomes readable and client->OnTimer
    // every `periodMs`, until Unwatch. False when the host refuses either; then nothing is
    // registered. One client at a time. [host UI thread]
    virtual bool Watch(EditorRunLoopClient* client, int fd, int periodMs) = 0;
    // Stops both callbacks; nothing happens when nothing is watched. [host UI thread]
    virtual void Unwatch() = 0;
};
